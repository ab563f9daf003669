#include "update/site/failure_log_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/files/ox_path.h"
#include "base/text/ox_unicode.h"

namespace fs = std::filesystem;

FailureLogFile::FailureLogFile(std::string path, std::uint64_t maxBytes, unsigned codePage)
    : OxLogOutput("farLaunch.log"), path_(std::move(path)), maxBytes_(maxBytes), codePage_(codePage) {}

void FailureLogFile::Write(const ox_base::OxLogEvent& event) {
  const std::string line = ox_base::CodePageToUtf8(FormatLine(event), codePage_);
  std::lock_guard<std::mutex> lock(mutex_);
  std::error_code error;
  const fs::path path = ox_base::NativeFilesystemPath(path_);
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && size > 0 && size + line.size() > maxBytes_) {
    fs::rename(path, ox_base::NativeFilesystemPath(path_ + ".1"), error);
  }
  std::ofstream(path, std::ios::binary | std::ios::app) << line;
}
