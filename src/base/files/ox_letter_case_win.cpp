#include "base/files/ox_letter_case.h"

namespace ox_base {

// Windows file systems ignore letter case themselves: a name reaches the
// file it denotes in any spelling, and a new one keeps the given spelling.
std::string ResolveLetterCase(const std::string& path) { return path; }

OxDirectoryListings::OxDirectoryListings() = default;

OxDirectoryListings::~OxDirectoryListings() = default;

}  // namespace ox_base
