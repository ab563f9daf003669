#pragma once
// File operations on the game directory (the current directory). Names may
// carry Windows forms (".\client.exe"); they are made native here.
#include <string>

// True when the name exists as a regular file.
bool FileExists(const std::string& name);

// Deletes the file when it exists; a missing file or a failed deletion is
// no error.
void DeleteFileIfPresent(const std::string& name);

// Renames the regular file `from` to `to`; a missing file or a failed rename
// is no error. Directories are never moved.
void MoveFileAside(const std::string& from, const std::string& to);

// True for a relative name that stays inside the game directory: no root,
// no drive letter, no ".." component.
bool IsInsideGameDirectory(const std::string& name);
