#pragma once
// What a zstd frame's header promises, held against what arrives. libzstd
// is lenient in ways that depend on how the bytes arrive: whole, it also
// decodes the legacy formats, and it compares the content with the size
// the header declares; in pieces it does neither (a frame declaring 29
// bytes that ends in an empty block decodes to nothing, without an error).
// The readers take the current format only, whole or in pieces alike.
#include <cstdint>
#include <string>
#include <string_view>

class ZstdFrameHeader {
 public:
  // Keeps the frame's first bytes, as many as a header may take. False with
  // the reason once they cannot start a frame of the current format.
  bool See(std::string_view piece, std::string& reason);
  // At the frame's end: false with the reason when its header declared
  // another size than `decoded` (a frame may declare none).
  bool Matches(std::uint64_t decoded, std::string& reason) const;

 private:
  std::string header_;
};
