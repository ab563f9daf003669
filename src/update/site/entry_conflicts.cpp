#include "update/site/entry_conflicts.h"

#include <algorithm>
#include <optional>

#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"

namespace {

// The folders and file a name passes through, outermost first, each as a
// folded native path: "Data\\.\\Maps//A.map" gives "data", "data/maps",
// "data/maps/a.map". Empty for a name without a native form.
std::vector<std::string> PathsOf(const std::string& name) {
  std::vector<std::string> paths;
  const std::optional<std::string> native = ox_base::NativeName(name);
  if (!native) return paths;
  const std::string folded = ox_base::FoldLetterCase(*native);
  std::string path;
  std::size_t start = 0;
  while (start <= folded.size()) {
    std::size_t end = folded.find('/', start);
    if (end == std::string::npos) end = folded.size();
    const std::string part = folded.substr(start, end - start);
    if (!part.empty() && part != ".") {
      path += (path.empty() ? "" : "/") + part;
      paths.push_back(path);
    }
    start = end + 1;
  }
  return paths;
}

}  // namespace

std::vector<std::int32_t> EntryConflicts::Add(std::int32_t index, const std::vector<std::string>& names) {
  std::vector<std::int32_t> earlier;
  std::vector<std::vector<std::string>> all;
  for (const std::string& name : names) {
    std::vector<std::string> paths = PathsOf(name);
    if (paths.empty()) continue;
    // The same name, or a folder above it.
    for (const std::string& path : paths) {
      const auto found = last_.find(path);
      if (found != last_.end()) earlier.push_back(found->second);
    }
    // Names below it. Whoever comes later under this name waits for this
    // entry, and so for them: they need not be kept.
    const auto below = below_.find(paths.back());
    if (below != below_.end()) {
      earlier.insert(earlier.end(), below->second.begin(), below->second.end());
      below_.erase(below);
    }
    all.push_back(std::move(paths));
  }
  for (const std::vector<std::string>& paths : all) {
    last_[paths.back()] = index;
    for (std::size_t i = 0; i + 1 < paths.size(); ++i) below_[paths[i]].push_back(index);
  }
  std::sort(earlier.begin(), earlier.end());
  earlier.erase(std::unique(earlier.begin(), earlier.end()), earlier.end());
  return earlier;
}
