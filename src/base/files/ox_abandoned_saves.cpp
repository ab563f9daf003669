#include <filesystem>
#include <string>
#include <system_error>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_path.h"

namespace ox_base {
namespace {

constexpr char kSavingSuffix[] = ".saving";

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// True for "<pid>-<n>.saving", the rest of a save's temporary name.
bool IsTemporaryTail(const std::string& tail) {
  const std::size_t suffixLength = sizeof kSavingSuffix - 1;
  if (tail.size() <= suffixLength || tail.compare(tail.size() - suffixLength, suffixLength, kSavingSuffix) != 0) {
    return false;
  }
  const std::string numbers = tail.substr(0, tail.size() - suffixLength);
  const std::size_t dash = numbers.find('-');
  return dash != std::string::npos && AllDigits(numbers.substr(0, dash)) && AllDigits(numbers.substr(dash + 1));
}

}  // namespace

void RemoveAbandonedSaves(const std::string& path) {
  const std::filesystem::path file = NativeFilesystemPath(path);
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  const std::string prefix = file.filename().u8string() + ".";
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().u8string();
    if (name.compare(0, prefix.size(), prefix) == 0 && IsTemporaryTail(name.substr(prefix.size()))) {
      std::error_code ignored;
      std::filesystem::remove(entry->path(), ignored);
    }
  }
}

}  // namespace ox_base
