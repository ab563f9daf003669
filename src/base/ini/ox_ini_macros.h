#pragma once
// "$L:name$" macros in INI files, replaced by texts from a lookup.
#include <string>

#include "base/ini/ox_ini.h"

namespace ox_base {

// Replaces every "$L:name$" (name of letters, digits and "_", at most 200
// bytes) by lookup(name), or lookup(prefix + "_" + name) when a prefix (at
// most 20 bytes) is given. False, with out untouched, when a name is too
// long or unterminated, the prefix too long, or the lookup answers null.
bool ExpandMacros(const char* text, OxIniLookup lookup, const char* prefix, std::string& out);

}  // namespace ox_base
