#pragma once
// libsodium must be initialised once before any of its functions is used.

// Initialises libsodium on the first call; cheap and thread-safe afterwards.
void SodiumReady();
