#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempDirectory {
 public:
  TempDirectory() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("farlaunch-net-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directory(path_);
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
