// clang-format off
#include <windows.h>
#include <ntsecapi.h>
// clang-format on

#include "base/diagnostics/ox_system_random.h"

namespace ox_base {

uint32_t SystemRandomWord() {
  uint32_t word = 0;
  // RtlGenRandom: the system generator, without a provider to open.
  RtlGenRandom(&word, sizeof(word));
  return word;
}

}  // namespace ox_base
