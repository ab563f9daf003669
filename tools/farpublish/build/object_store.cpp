#include "build/object_store.h"

#include <fstream>
#include <set>
#include <system_error>

#include "manifest/zstd_frames.h"
#include "parallel_tasks.h"
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

bool ObjectStore::Add(const std::vector<const BuildFile*>& files, std::vector<ManifestFile>& records,
                      std::string& error) {
  records.assign(files.size(), {});
  const bool hashed = RunInParallel(files.size(), [&](std::size_t i, std::string& reason) {
    FileDigest digest;
    if (!DigestFile(files[i]->path, digest, reason)) return false;
    records[i].name = files[i]->name;
    records[i].sha256 = digest.sha256;
    records[i].size = digest.size;
    return true;
  }, error);
  if (!hashed) return false;
  // Each content once; staging is not shared between threads.
  std::vector<NewObject> fresh;
  std::set<std::string> seen;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string& sha256 = records[i].sha256;
    if (objects_.count(sha256) > 0 || !seen.insert(sha256).second) continue;
    const std::string name = kObjectsFolder + ObjectName(sha256);
    std::error_code failure;
    const bool published = fs::exists(fs::symlink_status(site_ / name, failure));
    fresh.push_back({i, published ? fs::path() : staging_.Stage(name)});
    ++(published ? kept_ : written_);
  }
  const bool made = RunInParallel(fresh.size(), [&](std::size_t k, std::string& reason) {
    return Publish(files[fresh[k].index]->path, fresh[k], records[fresh[k].index], reason);
  }, error);
  if (!made) return false;
  for (const NewObject& object : fresh) objects_.emplace(records[object.index].sha256, records[object.index]);
  for (ManifestFile& record : records) {
    const ManifestFile& object = objects_.at(record.sha256);
    record.form = object.form;
    record.storedSize = object.storedSize;
    record.storedSha256 = object.storedSha256;
  }
  return true;
}

bool ObjectStore::Publish(const fs::path& source, const NewObject& object, ManifestFile& record,
                          std::string& error) const {
  if (object.staged.empty()) {
    return IdentifyPublished(site_ / (kObjectsFolder + ObjectName(record.sha256)), record, error);
  }
  if (!WriteZstdObject(source, object.staged, record, error)) return false;
  // A frame no smaller than its content is stored as the content.
  if (record.storedSize >= record.size) {
    MakeRaw(record);
    std::error_code failure;
    if (!fs::copy_file(source, object.staged, fs::copy_options::overwrite_existing, failure)) {
      error = "cannot write " + object.staged.string() + ": " + failure.message();
      return false;
    }
  }
  return true;
}
