#include "base/text/ox_text_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

namespace ox_base {
namespace {

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

std::optional<std::string> ConvertText(const std::string& text, unsigned fromCodePage, unsigned toCodePage,
                                       bool exact) {
  return Convert(text, CharsetName(fromCodePage), CharsetName(toCodePage), exact);
}

}  // namespace ox_base
