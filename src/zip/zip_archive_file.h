#pragma once
// The archive file, read at explicit positions.
#include <cstdint>
#include <memory>
#include <string>

#include "base/files/ox_file_handle.h"

class ZipArchiveFile {
 public:
  // Opens an existing file (a launcher name, see ox_base::NativePath) for
  // reading; null when it cannot be opened.
  static std::unique_ptr<ZipArchiveFile> Open(const std::string& path);

  // The file's size in bytes, or -1 when it cannot be found out.
  std::int64_t Size();

  // Reads up to `size` bytes at `position`; returns the number read
  // (fewer at the end of the file or on a failure). Several threads may
  // read at once: entries are written side by side.
  std::size_t ReadAt(std::int64_t position, void* data, std::size_t size) const {
    return file_.ReadAt(position, data, size);
  }

  // True when exactly `size` bytes could be read at `position`.
  bool ReadExactlyAt(std::int64_t position, void* data, std::size_t size) const {
    return ReadAt(position, data, size) == size;
  }

 private:
  explicit ZipArchiveFile(ox_base::FileHandle file) : file_(std::move(file)) {}
  ox_base::FileHandle file_;
};
