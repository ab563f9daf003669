// delta_apply_client make SOURCE TARGET DELTA
// delta_apply_client apply SOURCE DELTA OUT SIZE SHA256
// "make" writes the delta farpublish makes from SOURCE to TARGET; "apply"
// turns SOURCE into OUT with DELTA as the launcher does (the source read
// whole, the delta streamed from disk, the result checked against SIZE and
// SHA256 as it is written). Exit status 1 when it fails.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "base/files/ox_large_file.h"
#include "manifest/zstd_delta.h"
#include "update/site/object_content.h"

namespace {

std::string Whole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(std::filesystem::file_size(path), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

int Make(const char* source, const char* target, const char* delta) {
  std::string bytes;
  std::string reason;
  if (!MakeZstdDelta(Whole(source), Whole(target), bytes, reason)) {
    std::cerr << reason << "\n";
    return 1;
  }
  std::ofstream(delta, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return 0;
}

int Apply(const char* source, const char* delta, const char* out, const char* size, const char* sha256) {
  ManifestFile record;
  record.size = std::stoull(size);
  record.sha256 = sha256;
  // As the launcher reads the file a delta starts from.
  ox_base::FileBytes content;
  if (!ox_base::ReadLargeFile(source, kLargestDeltaFile, content)) {
    std::cerr << "cannot read " << source << "\n";
    return 1;
  }
  // Into a new file, as the launcher stages one (and as zstd -f makes its
  // output, removing the last run's first).
  std::error_code ignored;
  std::filesystem::remove(out, ignored);
  std::ofstream written(out, std::ios::binary);
  std::string problem;
  const bool applied = DecodeDelta(delta, record, content.View(), [&written](std::string_view piece) {
    written.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  }, problem);
  if (!applied) std::cerr << problem << "\n";
  return applied && written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "make" && argc == 5) return Make(argv[2], argv[3], argv[4]);
  if (mode == "apply" && argc == 7) return Apply(argv[2], argv[3], argv[4], argv[5], argv[6]);
  std::cerr << "usage: delta_apply_client make SOURCE TARGET DELTA\n"
               "       delta_apply_client apply SOURCE DELTA OUT SIZE SHA256\n";
  return 2;
}
