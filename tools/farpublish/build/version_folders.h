#pragma once
// The build folders of VERSIONS, in the order the launcher installs them.
#include <filesystem>
#include <string>
#include <vector>

#include "build/build_folder_name.h"

struct BuildFolder {
  BuildVersion version;
  std::string name;  // the folder's name, for messages
  std::filesystem::path path;
};

// Every folder of `versions`, sorted by package code in byte order (the
// launcher compares codes byte by byte, so "10" comes before "9"). False
// with the reason when `versions` cannot be read or holds no build; when an
// entry is not a folder (links included) or its name does not parse; when
// two folders share a code; or when a version is lower than the one before
// it in that order, the usual sign of codes without a fixed number of digits.
bool ListBuildFolders(const std::filesystem::path& versions, std::vector<BuildFolder>& folders,
                      std::string& error);
