#include "build_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// From this size on a zip entry needs the 64-bit extensions.
constexpr std::uint64_t kZip64Size = 0xFFFFFFFFu;

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0u) != 0x80u) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

class FileLister {
 public:
  FileLister(std::vector<BuildFile>& files, std::string& error) : files_(files), error_(error) {}

  bool ListFolder(const fs::path& folder, const std::string& prefix) {
    std::error_code failure;
    fs::directory_iterator it(folder, failure);
    for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
      const std::string name = prefix + it->path().filename().string();
      const fs::file_status status = it->symlink_status(failure);
      if (failure) break;
      if (!CheckName(name, it->path())) return false;
      if (fs::is_directory(status)) {
        if (!ListFolder(it->path(), name + "/")) return false;
      } else if (fs::is_regular_file(status)) {
        if (!AddFile(it->path(), name, status)) return false;
      } else {
        error_ = it->path().string() + (fs::is_symlink(status) ? " is a symbolic link" : " is not a regular file") +
                 "; a build holds only folders and regular files";
        return false;
      }
    }
    if (failure) {
      error_ = "cannot read " + folder.string() + ": " + failure.message();
      return false;
    }
    return true;
  }

 private:
  bool CheckName(const std::string& name, const fs::path& path) {
    if (!IsUtf8(name)) {
      error_ = "the name of " + path.string() + " is not UTF-8";
      return false;
    }
    if (name.find('\\') != std::string::npos) {
      error_ = "the name of " + path.string() + " holds \"\\\", which the launcher takes for a folder separator";
      return false;
    }
    return true;
  }

  bool AddFile(const fs::path& path, const std::string& name, const fs::file_status& status) {
    // Opened once here so that an unreadable file stops the build before
    // anything is written.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
      error_ = "cannot read " + path.string() + ": " + std::strerror(errno);
      return false;
    }
    std::fclose(file);
    std::error_code failure;
    const std::uint64_t size = fs::file_size(path, failure);
    if (failure) {
      error_ = "cannot read " + path.string() + ": " + failure.message();
      return false;
    }
    if (size >= kZip64Size) {
      error_ = path.string() + " is too large: the launcher reads archives without 64-bit extensions, " +
               "which hold files below 4 GiB";
      return false;
    }
    const bool executable = (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
    files_.push_back({name, path, size, executable});
    return true;
  }

  std::vector<BuildFile>& files_;
  std::string& error_;
};

}  // namespace

bool ListBuildFiles(const fs::path& folder, std::vector<BuildFile>& files, std::string& error) {
  files.clear();
  FileLister lister(files, error);
  if (!lister.ListFolder(folder, "")) return false;
  if (files.empty()) {
    error = folder.string() + " holds no file";
    return false;
  }
  std::sort(files.begin(), files.end(), [](const BuildFile& a, const BuildFile& b) { return a.name < b.name; });
  return true;
}
