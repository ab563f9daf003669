#pragma once
// The content size a zstd frame's header declares, held against what the
// frame decoded to. libzstd compares the two when it decodes a frame whole
// but not when the frame arrives in pieces: a frame declaring 29 bytes that
// ends in an empty block then decodes to nothing, without an error.
#include <cstdint>
#include <string>
#include <string_view>

class ZstdDeclaredSize {
 public:
  // Keeps the frame's first bytes, as many as a header may take.
  void See(std::string_view piece);
  // At the frame's end: false with the reason when its header declared
  // another size than `decoded` (a frame may declare none).
  bool Matches(std::uint64_t decoded, std::string& reason) const;

 private:
  std::string header_;
};
