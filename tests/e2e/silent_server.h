#pragma once
// A loopback port that takes connections and never answers them: a server
// document fetched from it stalls until the launcher gives up.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "e2e/e2e_harness.h"

namespace e2e {

class SilentServer {
 public:
  SilentServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    // The kernel completes the handshakes; nobody ever accepts them.
    listen(listener_, 64);
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { close(listener_); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  int listener_ = -1;
  int port_ = 0;
};

// A game directory with the launcher whose server document is the silent
// server's: a launcher started there stays in its start for two minutes.
inline void PointAtSilentServer(GameDirectory& game, const SilentServer& silent) {
  game.WriteVersionDocument(silent.Url("/servercfg.xml"));
  game.AddLauncher();
}

}  // namespace e2e
