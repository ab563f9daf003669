#include "object_store.h"

#include <fstream>
#include <system_error>

#include "manifest/zstd_frames.h"
#include "trust/file_digest.h"
#include "trust/sha256.h"

namespace fs = std::filesystem;

namespace {

// Slower to write than the default, as fast to read; objects are written
// once and read by every player.
constexpr int kObjectLevel = 12;
constexpr std::size_t kPiece = 1 << 20;

// Reads `path` in pieces; false with the reason when it cannot be read.
template <typename Sink>
bool ReadPieces(const fs::path& path, Sink&& sink, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::string piece(kPiece, '\0');
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    if (in.gcount() > 0 && !sink(std::string_view(piece.data(), static_cast<std::size_t>(in.gcount())))) {
      return false;
    }
  }
  if (!in.eof()) error = "cannot read " + path.string();
  return in.eof();
}

// Compresses `source` into `target`; the stored size and SHA-256 go into `record`.
bool WriteZstdObject(const fs::path& source, const fs::path& target, ManifestFile& record, std::string& error) {
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  ZstdFrameWriter writer(kObjectLevel, record.size);
  Sha256 stored;
  std::string frame;
  const auto emit = [&] {
    stored.Update(frame);
    out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
    record.storedSize += frame.size();
    frame.clear();
  };
  record.storedSize = 0;
  const bool read = ReadPieces(source, [&](std::string_view piece) {
    if (!writer.Write(piece, frame, error)) return false;
    emit();
    return true;
  }, error);
  if (!read || !writer.Finish(frame, error)) {
    error = source.string() + ": " + error;
    return false;
  }
  emit();
  out.close();
  if (!out) {
    error = "cannot write " + target.string();
    return false;
  }
  record.form = StoredForm::Zstd;
  record.storedSha256 = stored.FinishHex();
  return true;
}

void MakeRaw(ManifestFile& record) {
  record.form = StoredForm::Raw;
  record.storedSize = record.size;
  record.storedSha256 = record.sha256;
}

// How a published object holds the content `record` names: raw when its
// bytes are the content, zstd when it is one frame of it. False otherwise.
bool IdentifyPublished(const fs::path& object, ManifestFile& record, std::string& error) {
  FileDigest stored;
  if (!DigestFile(object, stored, error)) return false;
  if (stored.sha256 == record.sha256 && stored.size == record.size) {
    MakeRaw(record);
    return true;
  }
  ZstdFrameReader reader(record.size);
  Sha256 content;
  std::string problem;
  const bool decoded = ReadPieces(object, [&](std::string_view piece) {
    return reader.Read(piece, [&](std::string_view part) { content.Update(part); }, problem);
  }, error) && reader.Finish(problem);
  if (decoded && content.FinishHex() == record.sha256) {
    record.form = StoredForm::Zstd;
    record.storedSize = stored.size;
    record.storedSha256 = stored.sha256;
    return true;
  }
  error = object.string() + " is published already but does not hold the content its name gives" +
          (problem.empty() ? "" : " (" + problem + ")") +
          "; a published object never changes: delete it only when no published manifest names it";
  return false;
}

}  // namespace

bool ObjectStore::Add(const BuildFile& file, ManifestFile& record, std::string& error) {
  FileDigest digest;
  if (!DigestFile(file.path, digest, error)) return false;
  record.name = file.name;
  record.sha256 = digest.sha256;
  record.size = digest.size;
  const auto known = objects_.find(record.sha256);
  if (known != objects_.end()) {
    record.form = known->second.form;
    record.storedSize = known->second.storedSize;
    record.storedSha256 = known->second.storedSha256;
    return true;
  }
  if (!Publish(file.path, record, error)) return false;
  objects_.emplace(record.sha256, record);
  return true;
}

bool ObjectStore::Publish(const fs::path& source, ManifestFile& record, std::string& error) {
  const std::string name = kObjectsFolder + ObjectName(record.sha256);
  std::error_code failure;
  if (fs::exists(fs::symlink_status(site_ / name, failure))) {
    ++kept_;
    return IdentifyPublished(site_ / name, record, error);
  }
  const fs::path staged = staging_.Stage(name);
  if (!WriteZstdObject(source, staged, record, error)) return false;
  // A frame no smaller than its content is stored as the content.
  if (record.storedSize >= record.size) {
    MakeRaw(record);
    if (!fs::copy_file(source, staged, fs::copy_options::overwrite_existing, failure)) {
      error = "cannot write " + staged.string() + ": " + failure.message();
      return false;
    }
  }
  ++written_;
  return true;
}
