#pragma once
// The launcher's texts are code-page (GBK) bytes; tests write them in UTF-8.
#include <string>

#include "base/text/ox_unicode.h"

inline std::string Gbk(const std::string& utf8) { return ox_base::Utf8ToCodePage(utf8, ox_base::kLauncherCodePage); }
