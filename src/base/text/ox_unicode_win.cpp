#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "base/text/ox_text_conversion.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {
namespace {

UINT SystemCodePage(unsigned codePage) { return codePage == 0 || codePage == kUtf8CodePage ? CP_UTF8 : codePage; }

// The whole text, or nothing when a byte starts no character.
std::optional<std::wstring> Decode(const char* bytes, int size, UINT codePage) {
  if (size == 0) return std::wstring();
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, wide.data(), length);
  return wide;
}

// The whole text, or nothing when a character has no form in the code page
// (the system would put in a look-alike or its default character).
std::optional<std::string> Encode(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return std::string();
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askDefault = utf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, askDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, askDefault);
  return bytes;
}

std::optional<std::string> ConvertExact(const char* bytes, int size, UINT from, UINT to) {
  const std::optional<std::wstring> wide = Decode(bytes, size, from);
  if (!wide) return std::nullopt;
  return Encode(*wide, to);
}

// How many bytes the character starting at `lead` takes at most.
int CharacterLength(unsigned char lead, UINT codePage) {
  if (codePage == CP_UTF8) return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return IsDBCSLeadByteEx(codePage, lead) ? 2 : 1;
}

}  // namespace

std::optional<std::string> ConvertText(const std::string& text, unsigned fromCodePage, unsigned toCodePage,
                                       bool exact) {
  const UINT from = SystemCodePage(fromCodePage);
  const UINT to = SystemCodePage(toCodePage);
  if (from == to && !exact) return text;
  std::optional<std::string> whole = ConvertExact(text.data(), static_cast<int>(text.size()), from, to);
  if (whole || exact) return whole;
  // Character by character: what does not convert becomes "?" and its
  // first byte is skipped, as the Linux converter does.
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t length =
        std::min(text.size() - at, static_cast<size_t>(CharacterLength(static_cast<unsigned char>(text[at]), from)));
    if (std::optional<std::string> piece = ConvertExact(text.data() + at, static_cast<int>(length), from, to)) {
      out += *piece;
      at += length;
    } else {
      out += '?';
      ++at;
    }
  }
  return out;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  return Decode(utf8.data(), static_cast<int>(utf8.size()), CP_UTF8).value_or(std::wstring());
}

std::string Utf8FromWide(const std::wstring& wide) { return Encode(wide, CP_UTF8).value_or(std::string()); }

}  // namespace ox_base
