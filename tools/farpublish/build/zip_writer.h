#pragma once
// Writes update archives that are the same bytes whenever the same files go
// in: publishers keep sites in version control and CDNs cache by content.
#include <filesystem>
#include <string>
#include <vector>

#include "build/build_files.h"

// Writes a new zip archive at `path` holding `entries` in the given order,
// each under its name and deflated. Every entry gets the time 1980-01-01
// 00:00, Unix permissions 0755 when executable and 0644 otherwise, no extra
// fields, and the UTF-8 flag when its name is not ASCII. False with the
// reason when the archive exists already or cannot be written, or a file
// cannot be read; no archive is left behind then.
bool WriteArchive(const std::filesystem::path& path, const std::vector<BuildFile>& entries, std::string& error);
