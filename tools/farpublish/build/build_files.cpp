#include "build/build_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
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
  FileLister(const fs::path& root, SymlinkHandling links, std::vector<BuildFile>& files,
             std::vector<std::string>& warnings, std::string& error)
      : root_(root), links_(links), files_(files), warnings_(warnings), error_(error) {}

  bool ListFolder(const fs::path& folder, const std::string& prefix) {
    std::error_code failure;
    // The folders being listed, resolved: a link back to one of them is a loop.
    const fs::path resolved = fs::canonical(folder, failure);
    if (!failure && !open_.insert(resolved).second) {
      error_ = folder.string() + " is a symbolic link to " + resolved.string() +
               ", a folder that holds it: following it never ends";
      return false;
    }
    fs::directory_iterator it(folder, failure);
    for (; !failure && it != fs::directory_iterator(); it.increment(failure)) {
      const std::string name = prefix + it->path().filename().string();
      const fs::file_status status = it->symlink_status(failure);
      if (failure) break;
      if (!CheckName(name, it->path())) return false;
      if (fs::is_symlink(status)) {
        if (!AddLink(it->path(), name)) return false;
      } else if (!AddEntry(it->path(), name, status)) {
        return false;
      }
    }
    if (failure) {
      error_ = "cannot read " + folder.string() + ": " + failure.message();
      return false;
    }
    open_.erase(resolved);
    return true;
  }

 private:
  bool AddEntry(const fs::path& path, const std::string& name, const fs::file_status& status) {
    if (fs::is_directory(status)) return ListFolder(path, name + "/");
    if (fs::is_regular_file(status)) return AddFile(path, name, status);
    error_ = path.string() + " is not a regular file; a build holds only folders and regular files";
    return false;
  }

  bool AddLink(const fs::path& link, const std::string& name) {
    std::error_code failure;
    if (links_ == SymlinkHandling::Skip) {
      warnings_.push_back("left out " + link.string() + ", a symbolic link (--symlinks=skip)");
      return true;
    }
    if (links_ == SymlinkHandling::Refuse) {
      error_ = link.string() + " is a symbolic link; a build holds only folders and regular files " +
               "(--symlinks=follow stores its target's content, --symlinks=skip leaves it out)";
      return false;
    }
    const fs::path target = fs::canonical(link, failure);
    if (failure) {
      error_ = "the symbolic link " + link.string() + " points to " + fs::read_symlink(link, failure).string() +
               ", which cannot be read";
      return false;
    }
    if (!IsInsideRoot(target)) {
      error_ = "the symbolic link " + link.string() + " points to " + target.string() +
               ", outside the build folder " + root_.string();
      return false;
    }
    const fs::file_status status = fs::status(target, failure);
    if (failure) {
      error_ = "cannot read " + target.string() + ": " + failure.message();
      return false;
    }
    return AddEntry(link, name, status);
  }

  bool IsInsideRoot(const fs::path& target) const {
    const fs::path inside = target.lexically_relative(root_);
    return !inside.empty() && *inside.begin() != "..";
  }

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

  const fs::path root_;
  const SymlinkHandling links_;
  std::set<fs::path> open_;
  std::vector<BuildFile>& files_;
  std::vector<std::string>& warnings_;
  std::string& error_;
};

}  // namespace

bool ListBuildFiles(const fs::path& folder, SymlinkHandling links, std::vector<BuildFile>& files,
                    std::vector<std::string>& warnings, std::string& error) {
  files.clear();
  std::error_code failure;
  const fs::path root = fs::canonical(folder, failure);
  if (failure) {
    error = "cannot read " + folder.string() + ": " + failure.message();
    return false;
  }
  FileLister lister(root, links, files, warnings, error);
  if (!lister.ListFolder(folder, "")) return false;
  if (files.empty()) {
    error = folder.string() + " holds no file";
    return false;
  }
  std::sort(files.begin(), files.end(), [](const BuildFile& a, const BuildFile& b) { return a.name < b.name; });
  return true;
}
