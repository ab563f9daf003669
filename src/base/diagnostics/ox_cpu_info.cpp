#include "base/diagnostics/ox_cpu_info.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace ox_base {
namespace {

std::atomic<bool> g_hasTsc{false};
std::atomic<double> g_cycleSeconds{std::numeric_limits<double>::infinity()};

uint32_t ReadClockMhz() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.compare(0, 7, "cpu MHz") != 0) continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) return 0;
    return static_cast<uint32_t>(std::strtod(line.c_str() + colon + 1, nullptr));
  }
  return 0;
}

}  // namespace

void ReadCpuInfo(OxCpuInfo& info) {
  info = OxCpuInfo();
  bool tsc = false;
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax, ebx, ecx, edx;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    info.mmx = (edx & bit_MMX) ? 1 : 0;
    info.sse = (edx & bit_SSE) ? 1 : 0;
    info.sse2 = (edx & bit_SSE2) ? 1 : 0;
    tsc = (edx & (1u << 4)) != 0;  // time-stamp counter
  }
  if (__get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx)) info.amd3dNow = (edx & bit_3DNOW) ? 1 : 0;
#endif
  info.mhz = ReadClockMhz();
  g_hasTsc = tsc;
  g_cycleSeconds = info.mhz ? 1e-6 / info.mhz : std::numeric_limits<double>::infinity();
}

bool OxCpuHasTimeStampCounter() { return g_hasTsc; }

double OxCpuCycleSeconds() { return g_cycleSeconds; }

}  // namespace ox_base
