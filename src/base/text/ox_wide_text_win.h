#pragma once
// UTF-8 and UTF-16 on Windows: native names are kept as UTF-8 (the form
// NativePath gives on both platforms) and become UTF-16 right before a wide
// system call. Never widened byte by byte.
#include <string>

namespace ox_base {

// "" for text that is no UTF-8.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

}  // namespace ox_base
