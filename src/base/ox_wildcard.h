#pragma once
// The file name patterns of FindFiles.

namespace ox_base {

// "*" matches any run, "?" one byte; letters compare without case, as file
// names do on the launcher's original platform.
bool MatchWildcard(const char* pattern, const char* name);

}  // namespace ox_base
