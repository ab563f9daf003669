#pragma once
// A loopback port that takes connections and never answers them: a server
// document fetched from it stalls until the launcher gives up.
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "e2e/e2e_harness.h"
#include "support/loopback_socket.h"

namespace e2e {

class SilentServer {
 public:
  SilentServer() {
    // The kernel completes the handshakes; nobody ever accepts them.
    listener_ = BindLoopbackSocket(64, port_);
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
