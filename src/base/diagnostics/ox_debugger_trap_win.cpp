#include <windows.h>

#include "base/diagnostics/ox_debugger_trap.h"

namespace ox_base {

void TrapIntoAttachedDebugger() {
  if (IsDebuggerPresent()) DebugBreak();
}

}  // namespace ox_base
