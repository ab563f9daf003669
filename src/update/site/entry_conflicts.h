#pragma once
// Which earlier entries of an archive an entry must wait for when several
// are written at once, so that the result is that of writing them one after
// another: those naming the same file, or a folder above or below it, in
// any letter case (the game directory ignores it). Names include where the
// file in an entry's way is moved aside to.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class EntryConflicts {
 public:
  // The earlier entries that the names of entry `index` conflict with;
  // remembers the names as entry `index`'s. Entries come in archive order.
  std::vector<std::int32_t> Add(std::int32_t index, const std::vector<std::string>& names);

 private:
  // By folded native path: the last entry of that name, and the entries
  // below it since.
  std::unordered_map<std::string, std::int32_t> last_;
  std::unordered_map<std::string, std::vector<std::int32_t>> below_;
};
