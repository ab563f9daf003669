#include "base/diagnostics/ox_assert.h"

#include <cstdio>
#include <cstring>

#include "base/init/ox_base.h"
#include "base/diagnostics/ox_debugger_trap.h"
#include "base/log/ox_log.h"
#include "base/init/ox_spin_lock.h"

namespace ox_base {
namespace {

std::atomic<OxAssertChoice> g_choice{OxAssertChoice::kAbort};
OxSpinLock g_dialogLock;

const char* OrNull(const char* text) { return text ? text : "(null)"; }

}  // namespace

void SetAssertChoice(OxAssertChoice choice) { g_choice = choice; }

int OxAssertDialog(const char* condition, const char* source, int line) {
  char report[780];
  std::snprintf(report, sizeof(report), "assert Failed: [%s], File [%s], Line [%d]\n", OrNull(condition),
                OrNull(source), line);
  if (SmartPtr<OxLog> root = OxBase::GetRootLog()) root->Error("%s", report);

  OxSpinGuard guard(g_dialogLock);
  std::string application = OxBase::GetApplicationName();
  std::fprintf(stderr, "assert Failed!\n%s:\n[%s]\nFile [%s]\nLine [%d]\n", application.c_str(), OrNull(condition),
               OrNull(source), line);
  std::fflush(stderr);
  if (g_choice == OxAssertChoice::kIgnore) return 0;
  // Without a debugger a trap would end the process; the caller's exception
  // ends the failed operation instead.
  TrapIntoAttachedDebugger();
  return 1;
}

void OxAssertFailed(const char* condition, const char* source, int line) {
  OxAssertDialog(condition, source, line);
  char text[512];
  if (condition && source)
    std::snprintf(text, sizeof(text), "File: '%s' Line: %d \nAssert: %s\n", source, line, condition);
  else if (condition)
    std::snprintf(text, sizeof(text), "File: Unknown. Line: %d \nAssert: %s\n", line, condition);
  else if (source)
    std::snprintf(text, sizeof(text), "Unknown assert, File: '%s' Line: %d\n", source, line);
  else
    std::snprintf(text, sizeof(text), "Unknown assert, File: Unknown Line: %d\n", line);
  throw OxAssertError(text);
}

}  // namespace ox_base
