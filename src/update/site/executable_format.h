#pragma once
// Which system a program is for, told by its first bytes: a launcher
// installs only a launcher it can run, so that one site serves the Windows
// and the Linux launcher side by side.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

enum class ExecutableFormat {
  Other,
  WindowsPe,  // "MZ", then "PE\0\0" where the DOS header points
  LinuxElf,   // "\x7fELF"
};

// How many of a file's first bytes ExecutableFormatOf looks at.
constexpr std::size_t kExecutableHeadBytes = 4096;

// The format of a program whose first bytes are `head` (fewer than a whole
// file is fine, up to kExecutableHeadBytes count).
ExecutableFormat ExecutableFormatOf(std::string_view head);

// The format of the file `name` (code page, relative to the current
// directory), or at `path`; Other when it cannot be read.
ExecutableFormat ExecutableFormatOfFile(const std::string& name);
ExecutableFormat ExecutableFormatOfPath(const std::filesystem::path& path);

// The format of the programs this launcher runs, and the platform name the
// server document gives it ("windows-x86_64", "linux-x86_64").
ExecutableFormat OwnExecutableFormat();
const char* PlatformName(ExecutableFormat format);

// "a Windows program", "a Linux program", "no program": for the reasons
// given in logs.
std::string FormatDescription(ExecutableFormat format);
