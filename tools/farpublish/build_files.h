#pragma once
// The files of one client build, as the archives will carry them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The launcher's executable in the game directory; it travels in an item of
// its own.
constexpr char kLauncherExecutable[] = "farLaunch.exe";

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
// themselves are not listed (an empty folder is not carried). False with the
// reason for a symbolic link (never followed) or a special file, a file or
// folder that cannot be read, a name that is not UTF-8 or holds "\" (the
// launcher takes it for a folder separator), a file of 4 GiB or more (the
// launcher reads archives without 64-bit extensions), and a build without
// files.
bool ListBuildFiles(const std::filesystem::path& folder, std::vector<BuildFile>& files, std::string& error);
