#include "base/text/ox_unicode.h"

#include <cstring>

#include "base/diagnostics/ox_assert.h"
#include "base/text/ox_text_conversion.h"

namespace ox_base {
namespace {
const char kUnit[] = "dlls/base/ox_unicode";
}  // namespace

std::string CodePageToUtf8(const std::string& bytes, unsigned codePage) {
  return *ConvertText(bytes, codePage, kUtf8CodePage, false);
}

std::string Utf8ToCodePage(const std::string& utf8, unsigned codePage) {
  return *ConvertText(utf8, kUtf8CodePage, codePage, false);
}

std::optional<std::string> CodePageToUtf8Exact(const std::string& bytes, unsigned codePage) {
  return ConvertText(bytes, codePage, kUtf8CodePage, true);
}

std::optional<std::string> Utf8ToCodePageExact(const std::string& utf8, unsigned codePage) {
  return ConvertText(utf8, kUtf8CodePage, codePage, true);
}

const char* StrFindLastChar(const char* pStr, char c) {
  OX_ASSERT(kUnit, pStr!=NULL);
  for (const char* p = pStr + std::strlen(pStr); p != pStr;) {
    if (*--p == c) return p;
  }
  return nullptr;
}

const char* StrFindLastOf(const char* pStr, const char* set) {
  OX_ASSERT(kUnit, pStr!=NULL);
  for (const char* p = pStr + std::strlen(pStr); p != pStr;) {
    if (std::strchr(set, *--p)) return p;
  }
  return nullptr;
}

int StrIndexOf(const char* pStr, char c) {
  if (!pStr) return -1;
  for (const char* p = pStr; *p; ++p) {
    if (*p == c) return static_cast<int>(p - pStr);
  }
  return -1;
}

}  // namespace ox_base
