#define ZSTD_STATIC_LINKING_ONLY  // ZSTD_FRAMEHEADERSIZE_MAX
#include "manifest/zstd_declared_size.h"

#include <zstd.h>

#include <algorithm>

void ZstdDeclaredSize::See(std::string_view piece) {
  const std::size_t missing = ZSTD_FRAMEHEADERSIZE_MAX - std::min<std::size_t>(header_.size(), ZSTD_FRAMEHEADERSIZE_MAX);
  header_.append(piece.substr(0, missing));
}

bool ZstdDeclaredSize::Matches(std::uint64_t decoded, std::string& reason) const {
  const unsigned long long declared = ZSTD_getFrameContentSize(header_.data(), header_.size());
  if (declared == ZSTD_CONTENTSIZE_UNKNOWN || declared == ZSTD_CONTENTSIZE_ERROR || declared == decoded) return true;
  reason = "the zstd frame declares " + std::to_string(declared) + " bytes and holds " + std::to_string(decoded);
  return false;
}
