#pragma once
// File names on the launcher's original platform ignore letter case: a
// patch entry "Data\Map.dat" is the installed "data/map.dat". This file
// system tells letter cases apart, so paths are matched against what is on
// disk, one component at a time.
#include <string>

namespace ox_base {

// `path` (native: UTF-8, "/" separators) with every component that exists
// under another letter case spelt as found on disk. From the first component
// that does not exist on, the given spelling is kept, so a new file or
// folder gets the name it was given. Letters compare ASCII-only; when a
// directory holds several spellings of a name, the exact one wins, else the
// first in byte order.
std::string ResolveLetterCase(const std::string& path);

}  // namespace ox_base
