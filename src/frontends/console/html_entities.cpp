#include "frontends/console/html_entities.h"

namespace frontends::console {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsNameChar(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

size_t DecodeNumeric(const std::string& text, size_t pos, std::string& out) {
  size_t p = pos + 2;  // after "&#"
  bool hex = p < text.size() && (text[p] == 'x' || text[p] == 'X');
  if (hex) ++p;
  size_t digitsStart = p;
  unsigned long cp = 0;
  while (p < text.size() && (hex ? IsHexDigit(text[p]) : IsDigit(text[p]))) {
    unsigned digit = IsDigit(text[p]) ? text[p] - '0' : (text[p] | 0x20) - 'a' + 10;
    // Saturate above the Unicode range instead of overflowing.
    if (cp <= 0x10FFFF) cp = cp * (hex ? 16 : 10) + digit;
    ++p;
  }
  if (p == digitsStart) return pos;
  if (p < text.size() && text[p] == ';') ++p;
  AppendUtf8(cp, out);
  return p;
}

const char* NamedReference(const std::string& name) {
  struct Entry {
    const char* name;
    const char* utf8;
  };
  static const Entry kEntries[] = {
      {"amp", "&"},          {"lt", "<"},           {"gt", ">"},           {"quot", "\""},
      {"apos", "'"},         {"nbsp", " "},         {"copy", "\u00A9"},    {"reg", "\u00AE"},
      {"trade", "\u2122"},   {"middot", "\u00B7"},  {"bull", "\u2022"},    {"hellip", "\u2026"},
      {"mdash", "\u2014"},   {"ndash", "\u2013"},   {"laquo", "\u00AB"},   {"raquo", "\u00BB"},
      {"lsquo", "\u2018"},   {"rsquo", "\u2019"},   {"ldquo", "\u201C"},   {"rdquo", "\u201D"},
      {"times", "\u00D7"},   {"yen", "\u00A5"},     {"deg", "\u00B0"},
  };
  for (const Entry& e : kEntries) {
    if (name == e.name) return e.utf8;
  }
  return nullptr;
}

}  // namespace

void AppendUtf8(unsigned long cp, std::string& out) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

size_t DecodeCharacterReference(const std::string& text, size_t pos, std::string& out) {
  if (pos + 1 >= text.size()) return pos;
  if (text[pos + 1] == '#') return DecodeNumeric(text, pos, out);
  size_t p = pos + 1;
  while (p < text.size() && IsNameChar(text[p])) ++p;
  if (p == pos + 1 || p >= text.size() || text[p] != ';') return pos;
  const char* utf8 = NamedReference(text.substr(pos + 1, p - pos - 1));
  if (utf8 == nullptr) return pos;
  out += utf8;
  return p + 1;
}

}  // namespace frontends::console
