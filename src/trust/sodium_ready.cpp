#include "trust/sodium_ready.h"

#include <sodium.h>

void SodiumReady() {
  // sodium_init picks the fastest implementations and seeds the random
  // generator. It fails only without a randomness source, which hashing,
  // signing and verifying do not use, so its answer changes nothing here.
  static const int initialised = sodium_init();
  static_cast<void>(initialised);
}
