#pragma once
// Whether an archive already published holds exactly the files it would be
// built from now.
#include <filesystem>
#include <string>
#include <vector>

#include "build/build_files.h"

// True when the archive's entries are `entries`: the same names in the same
// order, each with the bytes of its file. Otherwise `detail` says where it
// differs, or why the archive (or a file) cannot be read.
bool ArchiveHolds(const std::filesystem::path& archive, const std::vector<BuildFile>& entries, std::string& detail);
