#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/LoopbackSocket.h"

namespace orvane::testing::loopback {

namespace {
void Startup() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
}  // namespace

Socket Listen(uint16_t& port) {
  Startup();
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 8) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(s);
    return kNoSocket;
  }
  port = ntohs(address.sin_port);
  return static_cast<Socket>(s);
}

bool WaitReadable(Socket socket, int milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(socket), &set);
  timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return ::select(0, &set, nullptr, nullptr, &timeout) > 0;
}

Socket Accept(Socket listening) {
  SOCKET s = ::accept(static_cast<SOCKET>(listening), nullptr, nullptr);
  return s == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(s);
}

int Receive(Socket socket, char* buffer, size_t size, int timeoutMilliseconds) {
  if (!WaitReadable(socket, timeoutMilliseconds)) return -1;
  return ::recv(static_cast<SOCKET>(socket), buffer, static_cast<int>(size), 0);
}

bool SendAll(Socket socket, const char* data, size_t size) {
  while (size > 0) {
    const int sent = ::send(static_cast<SOCKET>(socket), data, static_cast<int>(size), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

void Shutdown(Socket socket) { ::shutdown(static_cast<SOCKET>(socket), SD_BOTH); }

void Close(Socket socket) {
  if (socket != kNoSocket) ::closesocket(static_cast<SOCKET>(socket));
}

}  // namespace orvane::testing::loopback
