#pragma once
// farLaunch.log: an output of the base library's logging that keeps failure
// lines for support staff, in UTF-8 and bounded in size. When a line would
// take the file past its bound, the file becomes "<path>.1" (replacing an
// older one) and a new file starts. The file is made when the first line
// comes, so a run without failures leaves none. Any thread may write.
#include <cstdint>
#include <mutex>
#include <string>

#include "base/log/ox_log_output.h"

class FailureLogFile : public ox_base::OxLogOutput {
 public:
  // Lines arrive in `codePage` (the launcher's) and are kept in UTF-8.
  FailureLogFile(std::string path, std::uint64_t maxBytes, unsigned codePage);

  // A line that cannot be written (read-only or full disk) is dropped.
  void Write(const ox_base::OxLogEvent& event) override;

 private:
  std::mutex mutex_;
  const std::string path_;
  const std::uint64_t maxBytes_;
  const unsigned codePage_;
};
