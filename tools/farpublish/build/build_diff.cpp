#include "build/build_diff.h"

#include <fstream>

#include "byte_compare.h"

namespace {

bool SameBytes(const BuildFile& a, const BuildFile& b, bool& same, std::string& error) {
  if (a.size != b.size) {
    same = false;
    return true;
  }
  std::ifstream fileA(a.path, std::ios::binary);
  std::ifstream fileB(b.path, std::ios::binary);
  const Comparison comparison = fileA && fileB ? CompareStreams(FileChunks(fileA), FileChunks(fileB))
                                               : Comparison::ReadError;
  if (comparison == Comparison::ReadError) {
    error = "cannot read " + a.path.string() + " or " + b.path.string();
    return false;
  }
  same = comparison == Comparison::Equal;
  return true;
}

}  // namespace

bool DiffBuilds(const std::vector<BuildFile>& older, const std::vector<BuildFile>& newer, BuildChanges& changes,
                std::string& error) {
  changes = {};
  auto before = older.begin();
  auto after = newer.begin();
  while (before != older.end() || after != newer.end()) {
    if (after == newer.end() || (before != older.end() && before->name < after->name)) {
      changes.deleted.push_back(before->name);
      ++before;
    } else if (before == older.end() || after->name < before->name) {
      changes.addedOrChanged.push_back(*after);
      ++after;
    } else {
      bool same = false;
      if (!SameBytes(*before, *after, same, error)) return false;
      if (!same) changes.addedOrChanged.push_back(*after);
      ++before;
      ++after;
    }
  }
  return true;
}
