#pragma once
// Removing a directory with everything below it, on native paths.
#include <string>

namespace ox_base {

// Removes the directory `path` (native) and its contents. Entries are
// reached through the directory they are in (never by a path built from
// their names) and links are removed, not followed, so nothing outside the
// tree is touched. Stops with false at the first entry that stays.
bool RemoveTree(const std::string& path);

}  // namespace ox_base
