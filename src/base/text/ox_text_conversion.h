#pragma once
// The platform's text converter behind the code page functions of
// ox_unicode.h (iconv on Linux, the system's code pages on Windows).
#include <optional>
#include <string>

namespace ox_base {

constexpr unsigned kUtf8CodePage = 65001;

// Converts `text` from one code page to another (0 and 65001: UTF-8).
// Lenient: a byte that starts no character of `fromCodePage`, or a
// character `toCodePage` lacks, becomes "?" and conversion goes on. Exact:
// such a byte or character makes the whole conversion fail.
std::optional<std::string> ConvertText(const std::string& text, unsigned fromCodePage, unsigned toCodePage,
                                       bool exact);

}  // namespace ox_base
