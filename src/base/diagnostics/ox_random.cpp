#include "base/diagnostics/ox_random.h"

#include "base/diagnostics/ox_system_random.h"

namespace ox_base {

uint32_t OxRandomBelow(uint32_t bound) {
  // Words at or above the largest multiple of `bound` would favour the low
  // numbers; they are drawn again.
  const uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
  uint32_t word = SystemRandomWord();
  while (word >= limit) word = SystemRandomWord();
  return word % bound;
}

}  // namespace ox_base
