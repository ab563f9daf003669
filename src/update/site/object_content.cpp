#include "update/site/object_content.h"

#include "manifest/zstd_delta_decoder.h"
#include "manifest/zstd_frames.h"
#include "trust/pipelined_sha256.h"
#include "trust/sha256.h"
#include "update/site/delta_pipeline.h"
#include "update/site/file_pieces.h"

FileCheck ObjectDownloadCheck(const ManifestFile& record) {
  return {record.storedSha256, std::to_string(record.storedSize)};
}

namespace {

// Whether what was decoded is the record's content.
bool IsTheContent(const ManifestFile& record, std::uint64_t size, const std::string& sha256, std::string& problem) {
  if (size == record.size && sha256 == record.sha256) return true;
  problem = "decodes to content other than the manifest gives (" + std::to_string(size) + " bytes)";
  return false;
}

}  // namespace

// A zstd frame is read through a frame reader, a raw object's stored bytes
// are the content itself.
bool DecodeObject(const std::filesystem::path& stored, const ManifestFile& record,
                  const std::function<void(std::string_view)>& sink, std::string& problem) {
  ZstdFrameReader frame(record.size);
  PipelinedSha256 content;
  std::uint64_t size = 0;
  const auto take = [&](std::string_view part) {
    content.Update(part);
    size += part.size();
    sink(part);
  };
  const bool read = ReadPieces(stored, [&](std::string_view piece) {
    if (record.form == StoredForm::Zstd) return frame.Read(piece, take, problem);
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
  if (record.form == StoredForm::Zstd && !frame.Finish(problem)) return false;
  return IsTheContent(record, size, content.FinishHex(), problem);
}

bool DecodeDelta(const std::filesystem::path& stored, const ManifestFile& record, std::string_view source,
                 const std::function<void(std::string_view)>& sink, std::string& problem) {
  ZstdDeltaDecoder decoder(source, record.size);
  std::string sha256;
  return DecodeDeltaInPipeline(stored, decoder, sink, sha256, problem) &&
         IsTheContent(record, decoder.Decoded().size(), sha256, problem);
}

std::string FileSha256(const std::filesystem::path& file) {
  Sha256 hash;
  const bool read = ReadPieces(file, [&hash](std::string_view piece) {
    hash.Update(piece);
    return true;
  });
  return read ? hash.FinishHex() : std::string();
}
