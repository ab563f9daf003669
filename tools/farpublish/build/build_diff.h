#pragma once
// What changed between two client builds.
#include <string>
#include <vector>

#include "build/build_files.h"

struct BuildChanges {
  // Files of the newer build that the older lacks or holds with other bytes,
  // in name order.
  std::vector<BuildFile> addedOrChanged;
  // Names of the older build that the newer lacks, in name order.
  std::vector<std::string> deleted;
};

// Compares the two sorted file lists by name, and files of the same name
// byte by byte. False with the reason when a file cannot be read.
bool DiffBuilds(const std::vector<BuildFile>& older, const std::vector<BuildFile>& newer, BuildChanges& changes,
                std::string& error);
