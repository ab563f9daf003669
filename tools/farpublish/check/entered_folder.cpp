#include "check/entered_folder.h"

#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

EnteredFolder::EnteredFolder(const fs::path& folder) : previous_(fs::current_path()) {
  fs::current_path(folder);
}

EnteredFolder::~EnteredFolder() {
  std::error_code ignored;
  fs::current_path(previous_, ignored);
}

ScratchFolder::ScratchFolder() : path_(Make()), entered_(path_) {}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::current_path(fs::temp_directory_path(ignored), ignored);
  fs::remove_all(path_, ignored);
}

fs::path ScratchFolder::Make() {
  std::random_device random;
  for (int attempt = 0;; ++attempt) {
    const fs::path path = fs::temp_directory_path() / ("farpublish-check-" + std::to_string(random()));
    std::error_code failure;
    // create_directory is false for a folder that is there already.
    if (fs::create_directory(path, failure)) return path;
    if (failure || attempt == 100) {
      throw fs::filesystem_error("cannot make a scratch folder", path, failure);
    }
  }
}
