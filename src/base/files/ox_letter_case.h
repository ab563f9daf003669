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

// The form in which names compare: ASCII letters in lower case.
std::string FoldLetterCase(const std::string& name);

// While an object of this class lives, ResolveLetterCase on its thread reads
// each directory it searches once, and takes a name it resolved as new to
// exist from then on (the caller is about to create it). Meant for a batch
// of changes in which this thread is the only one to add names to those
// directories, such as unpacking an archive: looking each new file up
// afresh would read its directory once per file. Other threads may create
// the names this thread resolved as new (they work for it). Objects may
// nest.
class OxDirectoryListings {
 public:
  OxDirectoryListings();
  ~OxDirectoryListings();
  OxDirectoryListings(const OxDirectoryListings&) = delete;
  OxDirectoryListings& operator=(const OxDirectoryListings&) = delete;
};

}  // namespace ox_base
