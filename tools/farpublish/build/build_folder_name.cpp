#include "build/build_folder_name.h"

#include <tuple>

namespace {

constexpr std::size_t kMaxCodeLength = 64;
// Nine digits always fit 32 bits.
constexpr std::size_t kMaxNumberDigits = 9;

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Takes a number of 1 to 9 digits from the front of text.
std::optional<std::uint32_t> TakeNumber(std::string_view& text) {
  std::size_t digits = 0;
  std::uint32_t value = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + static_cast<std::uint32_t>(text[digits] - '0');
    ++digits;
  }
  if (digits == 0 || digits > kMaxNumberDigits) return std::nullopt;
  text.remove_prefix(digits);
  return value;
}

bool TakeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<BuildVersion> ParseBuildFolderName(std::string_view name) {
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > kMaxCodeLength) return std::nullopt;
  BuildVersion version;
  version.packageCode = std::string(name.substr(0, dash));
  for (const char c : version.packageCode) {
    if (!IsAsciiAlnum(c)) return std::nullopt;
  }
  std::string_view rest = name.substr(dash + 1);
  const auto main = TakeNumber(rest);
  if (!main || !TakeChar(rest, '.')) return std::nullopt;
  const auto sub = TakeNumber(rest);
  if (!sub || !TakeChar(rest, '.')) return std::nullopt;
  const auto file = TakeNumber(rest);
  if (!file || !rest.empty()) return std::nullopt;
  version.main = *main;
  version.sub = *sub;
  version.file = *file;
  return version;
}

bool VersionIsLower(const BuildVersion& a, const BuildVersion& b) {
  return std::tie(a.main, a.sub, a.file) < std::tie(b.main, b.sub, b.file);
}

std::string VersionText(const BuildVersion& version) {
  return std::to_string(version.main) + "." + std::to_string(version.sub) + "." + std::to_string(version.file);
}
