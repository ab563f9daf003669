#include "update/site/manifest_reading.h"

#include <fstream>
#include <system_error>

#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"

namespace {

// Far above the manifest of any game (a line is about 200 bytes).
constexpr std::uint64_t kManifestLimit = 256u << 20;

bool ReadBounded(const std::filesystem::path& file, std::string& bytes, std::string& problem) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) {
    problem = "cannot be read: " + error.message();
    return false;
  }
  if (size > kManifestLimit) {
    problem = "larger than any manifest (" + std::to_string(size) + " bytes)";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  bytes.assign(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    problem = "cannot be read";
    return false;
  }
  return true;
}

}  // namespace

FileCheck ManifestDownloadCheck(const ManifestLink& link) { return {link.Digest, link.Bytes}; }

bool ReadManifestFrame(const std::filesystem::path& file, ReleaseManifest& manifest, std::string& problem) {
  std::string frame;
  std::string text;
  return ReadBounded(file, frame, problem) && DecodeZstdFrame(frame, kManifestLimit, text, problem) &&
         ParseManifest(text, manifest, problem);
}

bool ReadManifestText(const std::filesystem::path& file, ReleaseManifest& manifest, std::string& problem) {
  std::string text;
  return ReadBounded(file, text, problem) && ParseManifest(text, manifest, problem);
}
