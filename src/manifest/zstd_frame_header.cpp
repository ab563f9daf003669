#define ZSTD_STATIC_LINKING_ONLY  // ZSTD_FRAMEHEADERSIZE_MAX
#include "manifest/zstd_frame_header.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <algorithm>

#include "manifest/zstd_failure.h"

namespace {

// ZSTD_MAGICNUMBER as it stands in the file (little-endian).
constexpr std::string_view kMagic("\x28\xB5\x2F\xFD", 4);

}  // namespace

bool ZstdFrameHeader::See(std::string_view piece, std::string& reason) {
  const std::size_t missing =
      ZSTD_FRAMEHEADERSIZE_MAX - std::min<std::size_t>(header_.size(), ZSTD_FRAMEHEADERSIZE_MAX);
  header_.append(piece.substr(0, missing));
  const std::size_t known = std::min(header_.size(), kMagic.size());
  if (header_.compare(0, known, kMagic.substr(0, known)) != 0) {
    // The words zstd itself uses for such bytes when they arrive in pieces.
    reason = std::string("zstd: ") + ZSTD_getErrorString(ZSTD_error_prefix_unknown);
    return false;
  }
  // Once whole, the header is checked as whole decoding checks it: libzstd's
  // streaming decoder took a header with an impossible window and ended the
  // frame with nothing when the header arrived in pieces of four bytes.
  ZSTD_frameHeader params;
  return !ZstdFailed(ZSTD_getFrameHeader(&params, header_.data(), header_.size()), reason);
}

bool ZstdFrameHeader::Matches(std::uint64_t decoded, std::string& reason) const {
  const unsigned long long declared = ZSTD_getFrameContentSize(header_.data(), header_.size());
  if (declared == ZSTD_CONTENTSIZE_UNKNOWN || declared == ZSTD_CONTENTSIZE_ERROR || declared == decoded) return true;
  reason = "the zstd frame declares " + std::to_string(declared) + " bytes and holds " + std::to_string(decoded);
  return false;
}
