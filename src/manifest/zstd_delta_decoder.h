#pragma once
// A delta (zstd_delta.h) applied into one buffer the size of its result.
// zstd decodes each block straight into its place there (the buffer is the
// frame's window), so what is decoded stays put: other threads may hash it
// or write it out while later blocks decode, and nothing is copied out of
// a decoder's buffer of its own.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class ZstdDeltaDecoder {
 public:
  // Decodes at most `limit` bytes, itself at most kLargestDeltaFile, against
  // `source`, which must outlive the decoder.
  ZstdDeltaDecoder(std::string_view source, std::uint64_t limit);
  ~ZstdDeltaDecoder();
  ZstdDeltaDecoder(const ZstdDeltaDecoder&) = delete;
  ZstdDeltaDecoder& operator=(const ZstdDeltaDecoder&) = delete;

  // Decodes the next piece of the frame. False with the reason for bytes
  // that are no zstd frame, bytes after its end, a window above
  // kDeltaWindowLog, more content than the limit or a limit above
  // kLargestDeltaFile; every later call fails too.
  bool Read(std::string_view piece, std::string& reason);
  // False when the frame has not ended.
  bool Finish(std::string& reason) const;
  // The result so far: its bytes keep their place and value while the
  // decoder lives; only its length grows.
  std::string_view Decoded() const;

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};
