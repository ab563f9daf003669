#include "update/site/failure_log.h"

#include <mutex>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "update/site/failure_log_file.h"

namespace {

// Enough for thousands of failures; support staff get the last of them.
constexpr std::uint64_t kFailureLogBytes = 512 * 1024;
// The outputs take priorities below this: ERROR and worse.
constexpr int kTakenBelow = ox_base::OX_LOG_ERROR + 1;
constexpr char kFailureLogCategory[] = "farLaunch";

// A log drops a message that arrives while it is dispatching another; the
// failures of two threads wait for each other instead.
std::mutex& FailureLogLock() {
  static std::mutex lock;
  return lock;
}

void Attach(ox_base::OxLog& root, const ox_base::SmartPtr<ox_base::OxLogOutput>& output) {
  output->SetThreshold(kTakenBelow);
  root.AddOutput(output);
}

}  // namespace

void OpenFailureLog(const ox_base::SmartPtr<ox_base::OxLogOutput>& echo) {
  const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
  if (!root) return;
  Attach(*root, ox_base::SmartPtr<ox_base::OxLogOutput>(
                    new FailureLogFile(kFailureLogName, kFailureLogBytes, ox_base::OxBase::GetCodePage())));
  if (echo) Attach(*root, echo);
}

void LogFailure(const std::string& what, const std::string& address, const std::string& reason) {
  const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
  if (!root) return;
  const std::string where = address.empty() ? what : what + " (" + address + ")";
  std::lock_guard<std::mutex> lock(FailureLogLock());
  root->GetChild(kFailureLogCategory)->Log(ox_base::OX_LOG_ERROR, "%s: %s\n", where.c_str(), reason.c_str());
}
