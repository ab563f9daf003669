#pragma once
// The files of one client build, as the archives will carry them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The launcher's executable in the game directory; it travels in an item of
// its own.
constexpr char kLauncherExecutable[] = "farLaunch.exe";

// What a symbolic link in a build becomes (--symlinks).
enum class SymlinkHandling {
  Refuse,  // the build stops: the default, as a link is easily a mistake
  Follow,  // its target's files under its name, when the target stays inside the build
  Skip,    // left out, with a warning
};

struct BuildFile {
  // Relative to the build folder, "/" between folders: the archive entry's
  // name (UTF-8, as the name is on disk).
  std::string name;
  std::filesystem::path path;
  std::uint64_t size = 0;
  // Whether the owner may run it; the archive keeps that for Unix clients.
  bool executable = false;
};

// Every regular file below `folder`, sorted by name in byte order. Folders
// themselves are not listed (an empty folder is not carried). A symbolic
// link is handled as `links` says: followed, its target (through any chain
// of links) is listed under the link's name, a folder's files below it; a
// skipped one adds a line to `warnings`. False with the reason for a link
// when refused, one that points outside `folder`, nowhere, or to a folder
// that holds it (a loop), a special file, a file or folder that cannot be
// read, a name that is not UTF-8 or holds "\" (the launcher takes it for a
// folder separator), a file of 4 GiB or more (the launcher reads archives
// without 64-bit extensions), and a build without files.
bool ListBuildFiles(const std::filesystem::path& folder, SymlinkHandling links, std::vector<BuildFile>& files,
                    std::vector<std::string>& warnings, std::string& error);
