#include "base/ox_unicode.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "base/ox_assert.h"

namespace ox_base {
namespace {

const char kUnit[] = "dlls/base/ox_unicode";

std::string CharsetName(unsigned codePage) {
  switch (codePage) {
    case 936: return "GBK";
    case 65001: return "UTF-8";
    case 0: return "UTF-8";
    default: return "CP" + std::to_string(codePage);
  }
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Both encode ASCII as itself, so ASCII text needs no converter.
bool AsciiCompatible(const std::string& charset) { return charset == "GBK" || charset == "UTF-8"; }

// Converts with iconv. Lenient: an unconvertible or incomplete sequence
// becomes "?" and the input byte is skipped, so conversion never fails as a
// whole. Exact: such a sequence makes the whole conversion fail.
std::optional<std::string> Convert(const std::string& in, const std::string& from, const std::string& to,
                                   bool exact) {
  if (AsciiCompatible(from) && AsciiCompatible(to) && IsAscii(in)) return in;
  // The same encoding still goes through iconv when exact: it validates.
  if (from == to && !exact) return in;
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return exact ? std::nullopt : std::optional<std::string>(in);
  std::string out;
  out.reserve(in.size() * 2);
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  bool failed = false;
  while (srcLeft > 0 && !failed) {
    char* dst = buffer;
    size_t dstLeft = sizeof(buffer);
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, dst - buffer);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      failed = exact;
      out.push_back('?');
      ++src;
      --srcLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof(buffer);
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, dst - buffer);
  iconv_close(cd);
  if (failed) return std::nullopt;
  return out;
}

}  // namespace

std::string CodePageToUtf8(const std::string& bytes, unsigned codePage) {
  return *Convert(bytes, CharsetName(codePage), "UTF-8", false);
}

std::string Utf8ToCodePage(const std::string& utf8, unsigned codePage) {
  return *Convert(utf8, "UTF-8", CharsetName(codePage), false);
}

std::optional<std::string> CodePageToUtf8Exact(const std::string& bytes, unsigned codePage) {
  return Convert(bytes, CharsetName(codePage), "UTF-8", true);
}

std::optional<std::string> Utf8ToCodePageExact(const std::string& utf8, unsigned codePage) {
  return Convert(utf8, "UTF-8", CharsetName(codePage), true);
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
