// Architectures without a faster block function here.
#include "trust/sha256_blocks.h"

Sha256Blocks ShaExtensionSha256Blocks() { return nullptr; }
