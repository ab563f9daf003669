#pragma once
// The launcher's code names its files relative to the current directory
// (the game directory); the check gives it a folder of its own to work in.
#include <filesystem>

// Makes `folder` the current directory for the life of the object, then
// goes back. Throws std::filesystem::filesystem_error when it cannot enter.
class EnteredFolder {
 public:
  explicit EnteredFolder(const std::filesystem::path& folder);
  ~EnteredFolder();
  EnteredFolder(const EnteredFolder&) = delete;
  EnteredFolder& operator=(const EnteredFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// A new empty folder under the system's temporary folder, current for the
// life of the object and removed with its contents afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  static std::filesystem::path Make();
  std::filesystem::path path_;
  EnteredFolder entered_;
};
