#include "zip/zip_archive_file.h"

#include <cstdio>
#include <limits>
#include <utility>

#include "base/ox_path.h"

std::unique_ptr<ZipArchiveFile> ZipArchiveFile::Open(const std::string& path) {
  ox_base::FileHandle file = ox_base::FileHandle::Open(ox_base::NativePath(path), "rb");
  if (!file) return nullptr;
  // Reads are whole records or 16 KiB chunks at explicit positions; a stdio
  // buffer would only split them and be discarded by every seek.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return std::unique_ptr<ZipArchiveFile>(new ZipArchiveFile(std::move(file)));
}

std::int64_t ZipArchiveFile::Size() {
  position_ = -1;
  if (std::fseek(file_.get(), 0, SEEK_END) != 0) return -1;
  return std::ftell(file_.get());
}

std::size_t ZipArchiveFile::ReadAt(std::int64_t position, void* data, std::size_t size) {
  if (position < 0 || position > std::numeric_limits<long>::max()) return 0;
  if (position != position_) {
    position_ = -1;
    if (std::fseek(file_.get(), static_cast<long>(position), SEEK_SET) != 0) return 0;
  }
  const std::size_t read = std::fread(data, 1, size, file_.get());
  position_ = read == size ? position + static_cast<std::int64_t>(read) : -1;
  return read;
}
