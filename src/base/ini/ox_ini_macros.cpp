#include "base/ini/ox_ini_macros.h"

#include <cstring>

namespace ox_base {
namespace {

constexpr size_t kMaxPrefix = 20;
constexpr size_t kMaxName = 200;

bool IsMacroNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

bool ExpandMacros(const char* text, OxIniLookup lookup, const char* prefix, std::string& out) {
  bool prefixed = prefix && *prefix;
  if (!lookup || (prefixed && std::strlen(prefix) > kMaxPrefix)) return false;
  std::string result;
  for (const char* p = text; *p;) {
    if (std::strncmp(p, "$L:", 3) != 0) {
      result += *p++;
      continue;
    }
    const char* name = p + 3;
    const char* end = name;
    while (IsMacroNameByte(*end)) ++end;
    size_t length = static_cast<size_t>(end - name);
    if (*end != '$' || length > kMaxName) return false;
    std::string key = prefixed ? std::string(prefix) + "_" : std::string();
    key.append(name, length);
    const char* replacement = lookup(key.c_str());
    if (!replacement) return false;
    result += replacement;
    p = end + 1;
  }
  out.swap(result);
  return true;
}

}  // namespace ox_base
