#include "base/ox_random.h"

#include <sys/random.h>

#include <cerrno>

namespace ox_base {
namespace {

uint32_t RandomWord() {
  uint32_t word = 0;
  while (::getrandom(&word, sizeof(word), 0) != static_cast<ssize_t>(sizeof(word)) && errno == EINTR) {
  }
  return word;
}

}  // namespace

uint32_t OxRandomBelow(uint32_t bound) {
  // Words at or above the largest multiple of `bound` would favour the low
  // numbers; they are drawn again.
  const uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
  uint32_t word = RandomWord();
  while (word >= limit) word = RandomWord();
  return word % bound;
}

}  // namespace ox_base
