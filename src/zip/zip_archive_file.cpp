#include "zip/zip_archive_file.h"

#include <cstdio>
#include <utility>

#include "base/files/ox_path.h"

std::unique_ptr<ZipArchiveFile> ZipArchiveFile::Open(const std::string& path) {
  ox_base::FileHandle file = ox_base::FileHandle::Open(ox_base::NativePath(path), "rb");
  if (!file) return nullptr;
  return std::unique_ptr<ZipArchiveFile>(new ZipArchiveFile(std::move(file)));
}

std::int64_t ZipArchiveFile::Size() {
  if (std::fseek(file_.get(), 0, SEEK_END) != 0) return -1;
  return std::ftell(file_.get());
}
