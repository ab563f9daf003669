#pragma once
// One zstd frame per object or manifest: written as its content streams in,
// and read back in pieces with a bound on what it may decode to, so that a
// hostile frame cannot fill the memory or the disk.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class ZstdFrameWriter {
 public:
  // The frame's header gives `contentSize`; the content must be exactly that long.
  ZstdFrameWriter(int level, std::uint64_t contentSize);
  ~ZstdFrameWriter();
  ZstdFrameWriter(const ZstdFrameWriter&) = delete;
  ZstdFrameWriter& operator=(const ZstdFrameWriter&) = delete;

  // Append the frame's bytes for the next piece of content, and then its
  // end, to `out`. False with the reason when zstd fails (content longer or
  // shorter than announced).
  bool Write(std::string_view piece, std::string& out, std::string& reason);
  bool Finish(std::string& out, std::string& reason);

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

class ZstdFrameReader {
 public:
  // Decodes at most `limit` bytes.
  explicit ZstdFrameReader(std::uint64_t limit);
  ~ZstdFrameReader();
  ZstdFrameReader(const ZstdFrameReader&) = delete;
  ZstdFrameReader& operator=(const ZstdFrameReader&) = delete;

  // Decodes the next piece of the frame, handing what it decodes to `sink`.
  // False with the reason for bytes that are no zstd frame, bytes after the
  // frame's end, or more content than the limit.
  bool Read(std::string_view piece, const std::function<void(std::string_view)>& sink, std::string& reason);
  // False when the frame has not ended.
  bool Finish(std::string& reason) const;

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

std::string EncodeZstdFrame(std::string_view content, int level);
// The content of the one frame `frame` holds; false with the reason as for
// ZstdFrameReader.
bool DecodeZstdFrame(std::string_view frame, std::uint64_t limit, std::string& content, std::string& reason);
