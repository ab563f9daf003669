#include "base/diagnostics/ox_debugger_trap.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

namespace ox_base {
namespace {

bool DebuggerAttached() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 10, "TracerPid:") == 0) return std::atoi(line.c_str() + 10) != 0;
  }
  return false;
}

}  // namespace

void TrapIntoAttachedDebugger() {
  if (DebuggerAttached()) std::raise(SIGTRAP);
}

}  // namespace ox_base
