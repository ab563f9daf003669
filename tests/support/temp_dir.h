#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away; and the small file helpers
// the tests use on it.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

// The whole content of a file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every file and directory below `dir`: relative path -> content ("<dir>"
// for directories).
inline std::map<std::string, std::string> Tree(const std::filesystem::path& dir) {
  std::map<std::string, std::string> tree;
  for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string relative = std::filesystem::relative(item.path(), dir).string();
    tree[relative] = item.is_directory() ? "<dir>" : ReadFile(item.path());
  }
  return tree;
}

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("farlaunch-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  // Writes bytes to the named file and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteFile(File(name), bytes);
    return File(name);
  }

 private:
  std::filesystem::path path_;
};

// Makes a directory the current one for the object's lifetime, so code that
// works on relative names stays inside it.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// A TempDir that is the current directory while it exists.
class CurrentTempDir : public TempDir {
 private:
  CurrentDirectory current_{Path()};
};
