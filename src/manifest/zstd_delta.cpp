#include "manifest/zstd_delta.h"

#include <zstd.h>

#include <algorithm>
#include <memory>

#include "manifest/zstd_delta_decoder.h"
#include "manifest/zstd_failure.h"

namespace {

using CompressionContext = std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)>;

// The smallest window that holds `size` bytes, and no less than zstd takes.
int WindowLogFor(std::uint64_t size) {
  int log = ZSTD_cParam_getBounds(ZSTD_c_windowLog).lowerBound;
  while ((std::uint64_t{1} << log) <= size) ++log;
  return log;
}

}  // namespace

bool MakeZstdDelta(std::string_view source, std::string_view target, std::string& delta, std::string& reason,
                   int level) {
  const std::uint64_t larger = std::max(source.size(), target.size());
  if (larger > kLargestDeltaFile) {
    reason = "a delta between files of " + std::to_string(larger) + " bytes needs a window above 2^" +
             std::to_string(kDeltaWindowLog);
    return false;
  }
  const CompressionContext cctx(ZSTD_createCCtx(), &ZSTD_freeCCtx);
  // The long-distance matcher finds the source's runs however far back the
  // window reaches; the window covers the whole source.
  if (ZstdFailed(ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_compressionLevel, level), reason) ||
      ZstdFailed(ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_enableLongDistanceMatching, 1), reason) ||
      ZstdFailed(ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_windowLog, WindowLogFor(larger)), reason) ||
      ZstdFailed(ZSTD_CCtx_refPrefix(cctx.get(), source.data(), source.size()), reason)) {
    return false;
  }
  // In libzstd's threaded mode the long-distance matcher reads the whole
  // input before the optimal parser, as the zstd program's --patch-from
  // does: a fifth fewer bytes on a large file with edits and an insertion
  // (bench/publish-deltas). One worker, since the build runs one delta per
  // core already; a libzstd without threads compresses as before.
  ZSTD_CCtx_setParameter(cctx.get(), ZSTD_c_nbWorkers, 1);
  delta.resize(ZSTD_compressBound(target.size()));
  const std::size_t size = ZSTD_compress2(cctx.get(), delta.data(), delta.size(), target.data(), target.size());
  if (ZstdFailed(size, reason)) return false;
  delta.resize(size);
  return true;
}

bool ApplyZstdDelta(std::string_view source, std::string_view delta, std::uint64_t limit, std::string& target,
                    std::string& reason) {
  ZstdDeltaDecoder decoder(source, limit);
  const bool applied = decoder.Read(delta, reason) && decoder.Finish(reason);
  target.assign(applied ? decoder.Decoded() : std::string_view());
  return applied;
}
