#include "manifest_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <system_error>

#include "checked_fetch.h"
#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"
#include "trust/sha256.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDownloadName[] = "site-object.download";
// Far above the manifest of any game (a line is about 200 bytes).
constexpr std::uint64_t kManifestLimit = 256u << 20;
constexpr std::size_t kPiece = 1 << 20;

// The content of the downloaded zstd object against the record; the empty
// text when it matches.
std::string ContentProblem(const ManifestFile& record) {
  std::ifstream in(kDownloadName, std::ios::binary);
  ZstdFrameReader reader(record.size);
  Sha256 content;
  std::uint64_t size = 0;
  std::string piece(kPiece, '\0');
  std::string problem;
  const auto sink = [&](std::string_view part) {
    content.Update(part);
    size += part.size();
  };
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const std::string_view read(piece.data(), static_cast<std::size_t>(in.gcount()));
    if (!reader.Read(read, sink, problem)) return problem;
  }
  if (!reader.Finish(problem)) return problem;
  if (size != record.size || content.FinishHex() != record.sha256) {
    return "decodes to content other than the manifest gives (" + std::to_string(size) + " bytes)";
  }
  return {};
}

bool FetchManifest(const ManifestLink& link, ReleaseManifest& manifest, std::string& problem) {
  if (!FetchChecked(link.Href, {link.Digest, link.Bytes}, kDownloadName, problem)) return false;
  std::string frame;
  std::string text;
  if (!ReadWholeFile(kDownloadName, frame)) problem = "cannot read the download";
  const bool read = problem.empty() && DecodeZstdFrame(frame, kManifestLimit, text, problem) &&
                    ParseManifest(text, manifest, problem);
  std::error_code ignored;
  fs::remove(kDownloadName, ignored);
  return read;
}

// Each content once, in name order; a random `sample` of them when given.
std::vector<const ManifestFile*> ObjectsToCheck(const ReleaseManifest& manifest, std::optional<std::size_t> sample) {
  std::map<std::string, const ManifestFile*> byContent;
  for (const ManifestFile& file : manifest.files) byContent.emplace(file.sha256, &file);
  std::vector<const ManifestFile*> objects;
  for (const auto& entry : byContent) objects.push_back(entry.second);
  if (sample && *sample < objects.size()) {
    std::shuffle(objects.begin(), objects.end(), std::mt19937(std::random_device{}()));
    objects.resize(*sample);
  }
  return objects;
}

}  // namespace

ManifestCheck CheckNewestManifest(const VersionEntry& newest, std::optional<std::size_t> sample) {
  ManifestCheck check;
  if (!newest.Manifest) {
    check.notes.push_back("the newest version names no manifest: launchers update through the patches only");
    return check;
  }
  const ManifestLink& link = *newest.Manifest;
  const std::string label = "manifest (" + link.Href + "): ";
  if (link.Format != kManifestFormat) {
    check.notes.push_back(label + "format " + link.Format + " is unknown to this farpublish, not checked; " +
                          "launchers that do not know it update through the patches");
    return check;
  }
  ReleaseManifest manifest;
  std::string problem;
  if (!FetchManifest(link, manifest, problem)) {
    check.problems.push_back(label + problem);
    return check;
  }
  for (const ManifestFile* file : ObjectsToCheck(manifest, sample)) {
    const std::string address = manifest.objectsBase + ObjectName(file->sha256);
    ++check.objectsChecked;
    if (FetchChecked(address, {file->storedSha256, std::to_string(file->storedSize)}, kDownloadName, problem) &&
        file->form == StoredForm::Zstd) {
      problem = ContentProblem(*file);
    }
    if (!problem.empty()) check.problems.push_back("object of " + file->name + " (" + address + "): " + problem);
    problem.clear();
    std::error_code ignored;
    fs::remove(kDownloadName, ignored);
  }
  return check;
}
