#include "update/manifest/file_hashing.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>
#include <thread>

#include "base/files/ox_path.h"
#include "trust/file_digest.h"

namespace {

// More threads than this only queue for the disk.
constexpr unsigned kMostThreads = 4;

// What can be told of a file before it is read: missing, unreadable, or
// its stamp.
HashedFile Look(const std::string& native) {
  HashedFile file;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(ox_base::NativeFilesystemPath(native), error);
  if (status.type() == std::filesystem::file_type::not_found) return file;
  file.outcome = HashedFile::Outcome::Unreadable;
  if (error) {
    file.problem = error.message();
  } else if (!std::filesystem::is_regular_file(status)) {
    file.problem = "not a file";
  } else if (const std::optional<FileStamp> stamp = StampOf(native)) {
    file.outcome = HashedFile::Outcome::Hashed;
    file.stamp = *stamp;
  } else {
    file.problem = "its size and time cannot be read";
  }
  return file;
}

void Hash(const std::string& native, HashedFile& file) {
  FileDigest digest;
  std::string error;
  if (DigestFile(ox_base::NativeFilesystemPath(native), digest, error)) {
    file.sha256 = digest.sha256;
    file.size = digest.size;
  } else {
    file.outcome = HashedFile::Outcome::Unreadable;
    file.problem = "it cannot be read";
  }
}

}  // namespace

unsigned HashingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads); }

std::vector<HashedFile> HashFiles(const std::vector<std::string>& files, unsigned threads) {
  std::vector<HashedFile> results;
  std::vector<std::size_t> toHash;
  for (const std::string& native : files) {
    results.push_back(Look(native));
    if (results.back().outcome == HashedFile::Outcome::Hashed) toHash.push_back(results.size() - 1);
  }
  std::stable_sort(toHash.begin(), toHash.end(),
                   [&results](std::size_t a, std::size_t b) { return results[a].stamp.size > results[b].stamp.size; });

  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < toHash.size(); i = next++) Hash(files[toHash[i]], results[toHash[i]]);
  };
  std::vector<std::thread> workers;
  const unsigned extra = std::min<std::size_t>(std::max(threads, 1u), toHash.size() + 1) - 1;
  for (unsigned i = 0; i < extra; ++i) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
  return results;
}
