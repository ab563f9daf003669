#pragma once
// Path helpers. The launcher's file names carry Windows forms
// (".\client.exe", "dir\file"); both "\" and "/" separate components.
// They are bytes in the base code page (GBK), while native names are UTF-8:
// on Linux the names on disk, as wine and native programs look them up; on
// Windows the form that becomes UTF-16 right at each wide system call.
#include <filesystem>
#include <optional>
#include <string>

namespace ox_base {

// The native spelling of a name, without looking at the disk: every "\"
// becomes "/" and the code page's bytes become UTF-8. Nothing when the name
// has no UTF-8 form (bytes that are no character of the code page); that is
// logged at ERROR on the "Base" log, as a refused name.
std::optional<std::string> NativeName(const std::string& name);

// The file a name denotes: NativeName, with each component that exists
// under another letter case spelt as it is on disk (see ResolveLetterCase).
// Every file access of the launcher goes through here, so that existence
// checks and opening always agree.
std::optional<std::string> ToNativePath(const std::string& name);

// ToNativePath, or "" for a name without a native form: a path that every
// file operation refuses.
std::string NativePath(const std::string& name);

// A native name (UTF-8) as a std::filesystem path. Never build one from the
// std::string itself: on Windows that widens byte by byte.
std::filesystem::path NativeFilesystemPath(const std::string& native);

// A name found on disk (UTF-8) in the code page; nothing when it has no
// form there.
std::optional<std::string> NameFromNative(const std::string& native);

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
