#include "base/diagnostics/ox_physical_memory.h"

#include <windows.h>

namespace ox_base {

std::uint64_t PhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace ox_base
