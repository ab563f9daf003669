#pragma once
// The INI text parser; fills a document through its adding operations.
#include "base/ini/ox_ini.h"

namespace ox_base {

// Parses a NUL-terminated text into ini; false at the first error (what was
// added before it stays). The code page decides how multi-byte characters
// in section names and quoted values are skipped.
bool ParseIniText(OxIni& ini, const char* text, unsigned codePage);

}  // namespace ox_base
