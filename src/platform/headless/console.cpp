#include "platform/headless/console.h"

namespace platform::headless {
namespace {

// Carriage return plus "erase to end of line".
constexpr const char* kClearLine = "\r\033[K";

}  // namespace

Console::Console(std::FILE* out, bool interactive) : out_(out), interactive_(interactive) {}

void Console::ShowStatus(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = line;
  if (interactive_) {
    std::fprintf(out_, "%s%s", kClearLine, status_.c_str());
    statusShown_ = true;
  } else {
    std::fprintf(out_, "%s\n", status_.c_str());
  }
  std::fflush(out_);
}

void Console::PrintLine(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (statusShown_) {
    std::fprintf(out_, "%s%s\n%s", kClearLine, line.c_str(), status_.c_str());
  } else {
    std::fprintf(out_, "%s\n", line.c_str());
  }
  std::fflush(out_);
}

void Console::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (statusShown_) std::fputc('\n', out_);
  statusShown_ = false;
  std::fflush(out_);
}

}  // namespace platform::headless
