// Arbitrary bytes as a manifest's text, and as the zstd frame it travels
// in: whatever parses must write back to text that parses to the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"

namespace {

// A frame may claim any size; the reader stops it at this bound.
constexpr std::uint64_t kLimit = 1 << 20;

void ParseAndRewrite(std::string_view text) {
  ReleaseManifest manifest;
  std::string reason;
  if (!ParseManifest(text, manifest, reason)) return;
  const std::string written = ManifestText(manifest);
  ReleaseManifest again;
  if (!ParseManifest(written, again, reason) || ManifestText(again) != written) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ParseAndRewrite(bytes);
  std::string decoded;
  std::string reason;
  if (DecodeZstdFrame(bytes, kLimit, decoded, reason)) ParseAndRewrite(decoded);
  return 0;
}
