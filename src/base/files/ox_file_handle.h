#pragma once
// An owned C runtime file: closed when its owner goes away, or earlier by
// Close, which tells whether everything written reached the file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

namespace ox_base {

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(std::FILE* file) : file_(file) {}
  // Opens the native `path` as given (std::fopen's modes); an empty handle
  // when it cannot be opened.
  static FileHandle Open(const std::string& path, const char* mode);

  ~FileHandle() { Close(); }
  FileHandle(FileHandle&& other) noexcept : file_(std::exchange(other.file_, nullptr)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Close();
      file_ = std::exchange(other.file_, nullptr);
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  std::FILE* get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }

  // Reads up to `size` bytes at `position` without moving the file's
  // position: several threads may read one file at once. Returns the number
  // read (fewer at the end of the file or on a failure).
  std::size_t ReadAt(std::int64_t position, void* data, std::size_t size) const;

  // Closes the file now. False when there was none or the close failed
  // (data still buffered could not be written).
  bool Close() {
    if (file_ == nullptr) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace ox_base
