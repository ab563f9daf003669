#pragma once
// A game directory as tests prepare and inspect it: a folder holding the
// files the launcher finds there.
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "support/temp_dir.h"

class GameDirectory {
 public:
  // A fresh temporary directory that is the current directory while the
  // object lives (the launcher works on relative names); removed afterwards.
  GameDirectory();
  // The directory at `path`, made when missing; the current directory stays.
  explicit GameDirectory(const std::filesystem::path& path);
  GameDirectory(const GameDirectory&) = delete;
  GameDirectory& operator=(const GameDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes a file (relative name, "/"-separated), making its folders.
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Has(const std::string& name) const;
  bool IsExecutable(const std::string& name) const;
  // Every file name below the directory, relative, "/"-separated.
  std::set<std::string> Files() const;

 private:
  std::unique_ptr<CurrentTempDir> temporary_;
  std::filesystem::path path_;
};
