// Arbitrary bytes as an archive: open it, describe and extract every entry
// into a scratch game directory. Anything that appears beside that
// directory is an escape and stops the run. The run changes into the
// scratch directory: give the corpus and dictionary as absolute paths.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "zip/zip_reader.h"

namespace fs = std::filesystem;

namespace {

// Entries beyond this many add run time, not coverage.
constexpr std::int32_t kMaxEntries = 64;

struct Scratch {
  Scratch() {
    base = fs::temp_directory_path() / ("farlaunch-zip-fuzz-" + std::to_string(std::random_device{}()));
    root = base / "root";
    archive = base / "input.zip";
    fs::create_directories(root);
    fs::current_path(root);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(base, ignored);
  }
  fs::path base;
  fs::path root;
  fs::path archive;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  std::ofstream(scratch.archive, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  ZipReader reader;
  if (reader.Open(scratch.archive.string()) == ZipResult::Ok) {
    std::atomic<std::int64_t> extractedBytes{0};
    const std::atomic<bool> cancelInstall{false};
    ZipEntry count;
    reader.GetItem(-1, count);
    for (std::int32_t i = 0; i < count.index && i < kMaxEntries; ++i) {
      ZipEntry entry;
      reader.GetItem(i, entry);
      reader.ExtractItem(i, entry.name, extractedBytes, cancelInstall);
    }
    reader.Close();
  }

  for (const auto& item : fs::directory_iterator(scratch.base)) {
    if (item.path() != scratch.root && item.path() != scratch.archive) std::abort();
  }
  for (const auto& item : fs::directory_iterator(scratch.root)) fs::remove_all(item.path());
  return 0;
}
