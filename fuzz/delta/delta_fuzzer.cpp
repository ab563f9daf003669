// A delta comes from a mirror and is applied against the player's file:
// arbitrary bytes as the source and the delta must give a result within the
// limit or a reason, never a crash, and the same whether the delta arrives
// whole or in pieces as a download hands it over.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "manifest/zstd_delta.h"
#include "manifest/zstd_delta_decoder.h"

namespace {

// The decoder takes this much memory at once, whatever the frame claims.
constexpr std::uint64_t kLimit = 1 << 16;

// Feeds the delta in pieces of `step` bytes; false once the decoder refuses.
bool ApplyInPieces(std::string_view source, std::string_view delta, std::size_t step, std::string& target) {
  ZstdDeltaDecoder decoder(source, kLimit);
  std::string reason;
  for (std::size_t at = 0; at < delta.size(); at += step) {
    if (!decoder.Read(delta.substr(at, step), reason)) return false;
  }
  if (!decoder.Finish(reason)) return false;
  target.assign(decoder.Decoded());
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t sourceSize = std::min<std::size_t>(data[0] | data[1] << 8, bytes.size());
  const std::string_view source = bytes.substr(0, sourceSize);
  const std::string_view delta = bytes.substr(sourceSize);

  std::string whole;
  std::string reason;
  const bool applied = ApplyZstdDelta(source, delta, kLimit, whole, reason);
  if (applied ? whole.size() > kLimit : reason.empty()) std::abort();
  std::string pieced;
  const bool appliedInPieces = ApplyInPieces(source, delta, 1 + delta.size() / 7, pieced);
  if (appliedInPieces != applied || pieced != whole) std::abort();
  return 0;
}
