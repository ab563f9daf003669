#include "frontends/console/console.h"

namespace frontends::console {
namespace {

// Carriage return plus "erase to end of line".
constexpr const char* kClearLine = "\r\033[K";

// The text with every control character but line feed and tab replaced by
// "?": texts from the update server must not steer the terminal. C1
// controls (U+0080 to U+009F, bytes C2 80 to C2 9F in UTF-8) count too,
// as some terminals act on them.
std::string Printable(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
      out += '?';
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      out += '?';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

Console::Console(std::FILE* out, bool interactive) : out_(out), interactive_(interactive) {}

void Console::ShowStatus(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = Printable(line);
  if (interactive_) {
    std::fprintf(out_, "%s%s", kClearLine, status_.c_str());
    statusShown_ = true;
  } else {
    std::fprintf(out_, "%s\n", status_.c_str());
  }
  std::fflush(out_);
}

void Console::PrintLine(const std::string& line) {
  const std::string shown = Printable(line);
  std::lock_guard<std::mutex> lock(mutex_);
  if (statusShown_) {
    std::fprintf(out_, "%s%s\n%s", kClearLine, shown.c_str(), status_.c_str());
  } else {
    std::fprintf(out_, "%s\n", shown.c_str());
  }
  std::fflush(out_);
}

void Console::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (statusShown_) std::fputc('\n', out_);
  statusShown_ = false;
  std::fflush(out_);
}

}  // namespace frontends::console
