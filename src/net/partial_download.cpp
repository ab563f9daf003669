#include "net/partial_download.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

#include "base/files/ox_path.h"

namespace fs = std::filesystem;

namespace {

// Whether downloads still take their final names, and the lock that makes
// a placing and the stop exclude each other.
std::mutex& PlacingLock() {
  static std::mutex lock;
  return lock;
}
bool placingStopped = false;

std::optional<PartialMeta> ReadMetaFile(const std::string& path) {
  std::ifstream in(ox_base::NativeFilesystemPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  PartialMeta meta;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "address") meta.address = value;
    else if (key == "etag") meta.etag = value;
    else if (key == "last-modified") meta.lastModified = value;
    else if (key == "length") meta.length = std::strtoull(value.c_str(), nullptr, 10);
    else if (key == "sha256") meta.expected.sha256 = value;
    else if (key == "size") meta.expected.size = std::strtoull(value.c_str(), nullptr, 10);
  }
  if (meta.address.empty() || meta.length == 0) return std::nullopt;
  return meta;
}

bool SameExpectation(const ExpectedContent& a, const ExpectedContent& b) {
  return a.sha256 == b.sha256 && a.size == b.size;
}

}  // namespace

PartialDownload::PartialDownload(const std::string& localPath)
    : final_(ox_base::NativePath(localPath)),
      part_(ox_base::NativePath(PartName(localPath))),
      meta_(ox_base::NativePath(MetaName(localPath))) {}

std::uint64_t PartialDownload::ResumableBytes(const std::string& address, const ExpectedContent& expected,
                                              PartialMeta& meta) const {
  const std::optional<PartialMeta> stored = ReadMetaFile(meta_);
  if (!stored || stored->address != address || !SameExpectation(stored->expected, expected)) return 0;
  // Without a validator or a hash nothing tells old bytes from new ones.
  if (stored->etag.empty() && stored->lastModified.empty() && !expected.sha256) return 0;
  std::error_code error;
  const std::uintmax_t have = fs::file_size(ox_base::NativeFilesystemPath(part_), error);
  if (error || have == 0 || have > stored->length) return 0;
  meta = *stored;
  // Asking for nothing would only get a 416, which says nothing of the file.
  return have == stored->length ? have - 1 : have;
}

bool PartialDownload::SaveMeta(const PartialMeta& meta) const {
  std::ostringstream text;
  text << "address=" << meta.address << "\netag=" << meta.etag << "\nlast-modified=" << meta.lastModified
       << "\nlength=" << meta.length << "\n";
  if (meta.expected.sha256) text << "sha256=" << *meta.expected.sha256 << "\n";
  if (meta.expected.size) text << "size=" << *meta.expected.size << "\n";
  // Written aside and renamed: a sidecar cut short by a crash must not
  // vouch for bytes it does not describe.
  const std::string temporary = meta_ + ".tmp";
  {
    std::ofstream out(ox_base::NativeFilesystemPath(temporary), std::ios::binary | std::ios::trunc);
    out << text.str();
    if (!out.flush()) return false;
  }
  // fs::rename replaces an older sidecar on Windows too (std::rename would
  // fail there).
  std::error_code error;
  fs::rename(ox_base::NativeFilesystemPath(temporary), ox_base::NativeFilesystemPath(meta_), error);
  return !error;
}

void StopPlacingDownloads() {
  const std::lock_guard<std::mutex> lock(PlacingLock());
  placingStopped = true;
}

bool PartialDownload::Promote(std::string& problem, bool keepMeta) const {
  const std::lock_guard<std::mutex> lock(PlacingLock());
  if (placingStopped) {
    problem = final_ + " is not placed: the launcher is ending";
    return false;
  }
  std::error_code error;
  fs::rename(ox_base::NativeFilesystemPath(part_), ox_base::NativeFilesystemPath(final_), error);
  if (error) {
    problem = "cannot rename " + part_ + " to " + final_ + ": " + error.message();
    return false;
  }
  if (!keepMeta) fs::remove(ox_base::NativeFilesystemPath(meta_), error);
  return true;
}

namespace {

// The finished file's sidecar, when it describes the file as it is.
bool KeptComplete(const std::string& final, const std::string& part, const std::string& meta) {
  std::error_code error;
  const std::optional<PartialMeta> stored = ReadMetaFile(meta);
  if (!stored || fs::exists(ox_base::NativeFilesystemPath(part), error)) return false;
  const std::uintmax_t size = fs::file_size(ox_base::NativeFilesystemPath(final), error);
  return !error && size == stored->length;
}

}  // namespace

void PartialDownload::ReclaimComplete() const {
  if (!KeptComplete(final_, part_, meta_)) return;
  std::error_code error;
  fs::rename(ox_base::NativeFilesystemPath(final_), ox_base::NativeFilesystemPath(part_), error);
}

void PartialDownload::DiscardComplete() const {
  if (!KeptComplete(final_, part_, meta_)) return;
  std::error_code error;
  fs::remove(ox_base::NativeFilesystemPath(final_), error);
  fs::remove(ox_base::NativeFilesystemPath(meta_), error);
}

void PartialDownload::Discard() const {
  std::error_code error;
  fs::remove(ox_base::NativeFilesystemPath(part_), error);
  fs::remove(ox_base::NativeFilesystemPath(meta_), error);
}

void PartialDownload::DiscardMeta() const {
  std::error_code error;
  fs::remove(ox_base::NativeFilesystemPath(meta_), error);
}

std::optional<PartialMeta> ReadPartialMeta(const std::string& localPath) {
  return ReadMetaFile(ox_base::NativePath(PartialDownload::MetaName(localPath)));
}
