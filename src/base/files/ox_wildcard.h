#pragma once
// The file name patterns of FindFiles.
#include <string>

namespace ox_base {

// Splits a pattern into its folder, found like any path (native, "" for the
// current one, else ending in "/"), and its last component, the pattern
// proper (native). False when the pattern has no native form.
bool SplitFindPattern(const std::string& pattern, std::string& folder, std::string& last);

// "*" matches any run, "?" one byte; letters compare without case, as file
// names do on the launcher's original platform.
bool MatchWildcard(const char* pattern, const char* name);

}  // namespace ox_base
