#pragma once
// Path helpers. The launcher's file names carry Windows forms
// (".\client.exe", "dir\file"); both "\" and "/" separate components.
#include <string>

namespace ox_base {

// Replaces every "\" by "/". Everything else is kept as given.
std::string NativePath(const std::string& name);

// Splits a path into drive ("X:" or empty), directory (up to and including
// the last separator), name and extension (after the last dot, without it).
// Any output may be null. A null path is a failed assertion.
void SplitPath(const char* szPath, std::string* drive, std::string* directory, std::string* name,
               std::string* extension);

// drive + directory (+ "/" when it does not end in a separator) + name
// (+ "." + extension when there is one).
std::string MakePath(const std::string& drive, const std::string& directory, const std::string& name,
                     const std::string& extension);

// True for "", "X:", "\", "\\" and a network root "\\server" or
// "\\server\share" ("/" counts as "\").
bool IsRootPath(const char* path);

// directory + "\" (when not empty and not ending in a separator) + name.
std::string JoinPath(const std::string& directory, const std::string& name);

}  // namespace ox_base
