#pragma once
// Replacing a file's content as a whole, on native paths (see
// OxFile::ReplaceContents for the rules).
#include <string>

namespace ox_base {

// Saves `bytes` as the content of the file `path` (native) and its link
// chain's end. False when nothing was saved; `reason` then says why.
bool SaveAtomically(const std::string& path, const std::string& bytes, bool force, std::string& reason);

// Deletes what saves of `path` (native) left when their process was killed
// mid-way (the temporary copies beside it). Only for a file no other
// process saves meanwhile.
void RemoveAbandonedSaves(const std::string& path);

}  // namespace ox_base
