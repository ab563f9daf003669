#include "manifest/line_fields.h"

#include <limits>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char byte) { return byte < 0x20 || byte == 0x7F || byte == '%'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EscapeName(const std::string& name) {
  std::string escaped;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (NeedsEscape(byte)) {
      escaped += '%';
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::optional<std::string> UnescapeName(std::string_view field) {
  std::string name;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      name += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int high = HexValue(field[i + 1]);
    const int low = HexValue(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    name += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return name;
}

std::optional<std::uint64_t> ParseDecimal(std::string_view field) {
  if (field.empty() || field.size() > 20 || (field.size() > 1 && field[0] == '0')) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

bool IsSha256Hex(std::string_view field) {
  if (field.size() != 64) return false;
  for (const char c : field) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}
