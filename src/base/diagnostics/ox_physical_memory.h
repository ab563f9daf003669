#pragma once
// How much memory the machine has, for work that must not push it into
// swapping (applying a large delta holds about twice the file).
#include <cstdint>

namespace ox_base {

// The machine's physical memory in bytes; 0 when the system does not say.
std::uint64_t PhysicalMemoryBytes();

}  // namespace ox_base
