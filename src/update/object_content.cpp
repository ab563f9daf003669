#include "update/object_content.h"

#include <fstream>

#include "manifest/zstd_frames.h"
#include "trust/pipelined_sha256.h"
#include "trust/sha256.h"

namespace {

constexpr std::size_t kPiece = 1 << 20;

// Hands every piece of the file to `read`; false when `read` refuses one
// or the file cannot be read to its end.
bool ReadPieces(const std::filesystem::path& file, const std::function<bool(std::string_view)>& read) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string piece(kPiece, '\0');
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    if (!read(std::string_view(piece.data(), static_cast<std::size_t>(in.gcount())))) return false;
  }
  return in.eof();
}

}  // namespace

FileCheck ObjectDownloadCheck(const ManifestFile& record) {
  return {record.storedSha256, std::to_string(record.storedSize)};
}

namespace {

// Reads `stored` through `frame` (a zstd frame) or as the content itself
// (raw), checking what comes out against the record.
bool Decode(const std::filesystem::path& stored, const ManifestFile& record, StoredForm form, ZstdFrameReader& frame,
            const std::function<void(std::string_view)>& sink, std::string& problem) {
  PipelinedSha256 content;
  std::uint64_t size = 0;
  const auto take = [&](std::string_view part) {
    content.Update(part);
    size += part.size();
    sink(part);
  };
  const bool read = ReadPieces(stored, [&](std::string_view piece) {
    if (form == StoredForm::Zstd) return frame.Read(piece, take, problem);
    // A raw object's stored bytes are its content, bounded like a frame's.
    if (size + piece.size() > record.size) {
      problem = "the object is larger than its content";
      return false;
    }
    take(piece);
    return true;
  });
  if (!read) {
    if (problem.empty()) problem = "the object cannot be read";
    return false;
  }
  if (form == StoredForm::Zstd && !frame.Finish(problem)) return false;
  if (size != record.size || content.FinishHex() != record.sha256) {
    problem = "decodes to content other than the manifest gives (" + std::to_string(size) + " bytes)";
    return false;
  }
  return true;
}

}  // namespace

bool DecodeObject(const std::filesystem::path& stored, const ManifestFile& record,
                  const std::function<void(std::string_view)>& sink, std::string& problem) {
  ZstdFrameReader frame(record.size);
  return Decode(stored, record, record.form, frame, sink, problem);
}

bool DecodeDelta(const std::filesystem::path& stored, const ManifestFile& record, std::string_view source,
                 const std::function<void(std::string_view)>& sink, std::string& problem) {
  ZstdFrameReader frame(record.size, source);
  return Decode(stored, record, StoredForm::Zstd, frame, sink, problem);
}

std::string FileSha256(const std::filesystem::path& file) {
  Sha256 hash;
  const bool read = ReadPieces(file, [&hash](std::string_view piece) {
    hash.Update(piece);
    return true;
  });
  return read ? hash.FinishHex() : std::string();
}
