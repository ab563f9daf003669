#pragma once
// A TCP socket on 127.0.0.1 bound to a free port, for the tests' own
// servers and for ports handed to programs they start.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

// The socket, its port in `port`; listening with `backlog` when that is 0
// or more. Close-on-exec: programs a test starts do not keep it open.
inline int BindLoopbackSocket(int backlog, int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("loopback socket: cannot create");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      (backlog >= 0 && listen(fd, backlog) != 0)) {
    close(fd);
    throw std::runtime_error("loopback socket: cannot bind or listen");
  }
  port = ntohs(address.sin_port);
  return fd;
}
