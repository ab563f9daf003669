#pragma once
// Stops in the debugger when one is attached; does nothing otherwise.
namespace ox_base {

void TrapIntoAttachedDebugger();

}  // namespace ox_base
