// The machine's memory as the system reports it: the bound on applying a
// delta is half of it, so a wrong unit (pages, KiB) or no answer would
// turn deltas off or let one swap the machine.
#include "base/diagnostics/ox_physical_memory.h"

#include <gtest/gtest.h>

TEST(PhysicalMemory, IsTheMachinesMemoryInBytes) {
  const std::uint64_t bytes = ox_base::PhysicalMemoryBytes();
  EXPECT_GT(bytes, std::uint64_t{256} << 20);
  EXPECT_LT(bytes, std::uint64_t{1} << 50);
}
