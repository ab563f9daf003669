#pragma once
// The library's fixed Chinese texts are written in UTF-8 in the sources and
// delivered in the base code page (GBK for 936), as stored files and
// callers expect them.
#include <string>

namespace ox_base {

// utf8 converted to the base code page (kLauncherCodePage while none is set).
std::string OxText(const char* utf8);

}  // namespace ox_base
