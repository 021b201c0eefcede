#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "tests/support/LoopbackSocket.h"

namespace orvane::testing::loopback {

Socket Listen(uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return kNoSocket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return kNoSocket;
  }
  port = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(Socket socket, int milliseconds) {
  pollfd entry{static_cast<int>(socket), POLLIN, 0};
  return ::poll(&entry, 1, milliseconds) > 0;
}

Socket Accept(Socket listening) {
  const int fd = ::accept4(static_cast<int>(listening), nullptr, nullptr, SOCK_CLOEXEC);
  return fd < 0 ? kNoSocket : fd;
}

int Receive(Socket socket, char* buffer, size_t size, int timeoutMilliseconds) {
  if (!WaitReadable(socket, timeoutMilliseconds)) return -1;
  return static_cast<int>(::recv(static_cast<int>(socket), buffer, size, 0));
}

bool SendAll(Socket socket, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = ::send(static_cast<int>(socket), data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

void Shutdown(Socket socket) { ::shutdown(static_cast<int>(socket), SHUT_RDWR); }

void Close(Socket socket) {
  if (socket != kNoSocket) ::close(static_cast<int>(socket));
}

}  // namespace orvane::testing::loopback
