#pragma once
// A TCP socket bound to a free port on 127.0.0.1.
#include <netinet/in.h>
#include <sys/socket.h>

namespace e2e {

// The socket (close-on-exec), its port in `port`.
inline int BindFreeLoopbackPort(int& port) {
  const int bound = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(bound, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return bound;
}

}  // namespace e2e
