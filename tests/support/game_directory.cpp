#include "support/game_directory.h"

namespace fs = std::filesystem;

GameDirectory::GameDirectory() : temporary_(std::make_unique<CurrentTempDir>()), path_(temporary_->Path()) {}

GameDirectory::GameDirectory(const fs::path& path) : path_(path) { fs::create_directories(path_); }

void GameDirectory::Write(const std::string& name, const std::string& content) const {
  const fs::path file = path_ / name;
  fs::create_directories(file.parent_path());
  WriteFile(file, content);
}

std::string GameDirectory::Read(const std::string& name) const { return ReadFile(path_ / name); }

bool GameDirectory::Has(const std::string& name) const { return fs::exists(path_ / name); }

bool GameDirectory::IsExecutable(const std::string& name) const {
  std::error_code error;
  const fs::perms perms = fs::status(path_ / name, error).permissions();
  return !error && (perms & fs::perms::owner_exec) != fs::perms::none;
}

std::set<std::string> GameDirectory::Files() const {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(path_)) {
    if (entry.is_regular_file()) {
      names.insert(fs::relative(entry.path(), path_).generic_string());
    }
  }
  return names;
}
