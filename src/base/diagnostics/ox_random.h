#pragma once
// Numbers from the operating system's random source: unlike a generator
// seeded with the time, two processes drawing in the same second get
// different numbers.
#include <cstdint>

namespace ox_base {

// A number below `bound` (which is at least 1), uniformly drawn.
uint32_t OxRandomBelow(uint32_t bound);

}  // namespace ox_base
