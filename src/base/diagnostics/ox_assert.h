#pragma once
// Assertions for programming errors. A failed assertion is reported (log,
// standard error), then raises OxAssertError carrying the report text; the
// operation that failed ends there.
#include <stdexcept>
#include <string>

namespace ox_base {

// What the assertion report answers; there are no message boxes here, so the
// answer is a process-wide setting (tests choose it).
enum class OxAssertChoice { kAbort, kRetry, kIgnore };
void SetAssertChoice(OxAssertChoice choice);

class OxAssertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Logs and reports the failed condition; 0 when the choice is Ignore, else 1
// (after a debugger break when a debugger is attached).
int OxAssertDialog(const char* condition, const char* source, int line);
// OxAssertDialog, then throws OxAssertError with the report text.
[[noreturn]] void OxAssertFailed(const char* condition, const char* source, int line);

}  // namespace ox_base

// unit: the source unit's name, e.g. "dlls/base/ox_file". The condition's
// text as written is the report's condition.
#define OX_ASSERT(unit, condition) \
  do { \
    if (!(condition)) ::ox_base::OxAssertFailed(#condition, unit, __LINE__); \
  } while (0)

// For destructors, which must not throw: reports the failed condition only.
#define OX_ASSERT_REPORT(unit, condition) \
  do { \
    if (!(condition)) ::ox_base::OxAssertDialog(#condition, unit, __LINE__); \
  } while (0)
