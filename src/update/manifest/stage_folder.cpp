#include "update/manifest/stage_folder.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "base/files/ox_path.h"
#include "update/site/object_content.h"

namespace fs = std::filesystem;

std::string StagedName(const std::string& sha256) { return std::string(kStageFolder) + "/" + sha256; }

std::filesystem::path StagePath(const std::string& name) { return ox_base::NativeFilesystemPath(name); }

bool StageDownload(const ManifestFile& record, const std::string& object, std::optional<std::string_view> deltaSource,
                   std::string& problem) {
  const std::string staged = StagedName(record.sha256);
  const fs::path decoding = StagePath(staged + ".decoding");
  std::ofstream out(decoding, std::ios::binary | std::ios::trunc);
  const auto write = [&out](std::string_view piece) {
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  };
  const bool decoded = !deltaSource ? DecodeObject(StagePath(object), record, write, problem)
                                    : DecodeDelta(StagePath(object), record, *deltaSource, write, problem);
  out.close();
  // The stream keeps no reason; the system's is the last one it met.
  const int writeError = errno;
  std::error_code error;
  if (decoded && !out) {
    problem = "the staged file " + decoding.filename().string() +
              " cannot be written: " + std::generic_category().message(writeError);
  }
  if (decoded && out) fs::rename(decoding, StagePath(staged), error);
  if (error) problem = "the staged file cannot be renamed: " + error.message();
  fs::remove(StagePath(object), error);
  fs::remove(decoding, error);
  return problem.empty();
}

void RemoveStage() {
  std::error_code ignored;
  fs::remove_all(StagePath(kStageFolder), ignored);
}
