#pragma once
// Whether an archive of the site unpacks as the launcher unpacks it.
#include <string>
#include <vector>

// Unpacks every entry of `archive` in memory with the launcher's own zip
// reader, writing nothing (a full package may be gigabytes). One
// line per problem: the archive does not open, an entry cannot be read,
// its name would leave the game directory or has no form on disk, or its
// data fails its CRC. `names` gets the entries' names as stored (code page).
std::vector<std::string> ArchiveProblems(const std::string& archive, std::vector<std::string>& names);
