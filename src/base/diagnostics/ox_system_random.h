#pragma once
// One word from the operating system's random source (getrandom on Linux,
// the system generator on Windows).
#include <cstdint>

namespace ox_base {

uint32_t SystemRandomWord();

}  // namespace ox_base
