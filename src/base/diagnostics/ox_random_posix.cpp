#include "base/diagnostics/ox_system_random.h"

#include <sys/random.h>

#include <cerrno>

namespace ox_base {

uint32_t SystemRandomWord() {
  uint32_t word = 0;
  while (::getrandom(&word, sizeof(word), 0) != static_cast<ssize_t>(sizeof(word)) && errno == EINTR) {
  }
  return word;
}

}  // namespace ox_base
