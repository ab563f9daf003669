#pragma once
// Addresses a signed document names (its trusted comment's "url:" fields)
// compared with the address it was requested from.
#include <string>
#include <string_view>

// True when both name the same document: scheme and host compare without
// letter case, a missing port is the scheme's default (http 80, https
// 443), and everything after the host compares exactly.
bool SameDocumentAddress(std::string_view a, std::string_view b);
