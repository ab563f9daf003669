#pragma once
// Processor features and clock, read once at base initialisation.
#include <cstdint>

namespace ox_base {

struct OxCpuInfo {
  int32_t mmx = 0;
  int32_t reserved[3] = {0, 0, 0};
  int32_t amd3dNow = 0;
  int32_t sse = 0;
  int32_t sse2 = 0;
  uint32_t mhz = 0;  // 0 when the platform does not report it
};

// Features from the processor (cpuid), the clock from /proc/cpuinfo.
// Also records the process-wide time-stamp-counter flag and cycle length.
void ReadCpuInfo(OxCpuInfo& info);
bool OxCpuHasTimeStampCounter();
// Seconds per processor cycle (1e-6 / MHz; infinite when the clock is 0).
double OxCpuCycleSeconds();

}  // namespace ox_base
