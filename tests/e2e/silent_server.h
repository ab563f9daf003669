#pragma once
// A game directory whose server document is a silent server's.
#include "e2e/e2e_harness.h"
#include "support/silent_server.h"

namespace e2e {

// A launcher started there stays in its fetch for two minutes.
inline void PointAtSilentServer(GameDirectory& game, const SilentServer& silent) {
  game.WriteVersionDocument(silent.Url("/servercfg.xml"));
  game.AddLauncher();
}

}  // namespace e2e
