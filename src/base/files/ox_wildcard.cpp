#include "base/files/ox_wildcard.h"

#include <optional>

#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"

namespace ox_base {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SplitFindPattern(const std::string& pattern, std::string& folder, std::string& last) {
  // Split once converted: a GBK character may end in the byte of "\".
  const std::optional<std::string> native = NativeName(pattern);
  if (!native) return false;
  const size_t slash = native->rfind('/');
  folder = slash == std::string::npos ? "" : ResolveLetterCase(native->substr(0, slash + 1));
  last = native->substr(slash == std::string::npos ? 0 : slash + 1);
  return true;
}

bool MatchWildcard(const char* pattern, const char* name) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && LowerAscii(*pattern) == LowerAscii(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

}  // namespace ox_base
