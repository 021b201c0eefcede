#pragma once
// The few socket calls the loopback HTTP server needs, for each platform.

#include <cstddef>
#include <cstdint>

namespace orvane::testing::loopback {

using Socket = intptr_t;
inline constexpr Socket kNoSocket = -1;

// A listening socket on 127.0.0.1 at a port the system chooses, returned in Port.
Socket Listen(uint16_t& port);
// Whether Socket has a connection or data to read within Milliseconds.
bool WaitReadable(Socket socket, int milliseconds);
Socket Accept(Socket listening);
// Receives at most Size bytes; 0 at the end of the stream, negative on error or timeout.
int Receive(Socket socket, char* buffer, size_t size, int timeoutMilliseconds);
bool SendAll(Socket socket, const char* data, size_t size);
// Ends both directions, waking a send or receive that another thread is blocked in.
void Shutdown(Socket socket);
void Close(Socket socket);

}  // namespace orvane::testing::loopback
