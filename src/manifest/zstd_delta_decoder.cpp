#define ZSTD_STATIC_LINKING_ONLY  // ZSTD_d_stableOutBuffer
#include "manifest/zstd_delta_decoder.h"

#include <zstd.h>
#include <zstd_errors.h>

#include <new>

#include "manifest/zstd_delta.h"
#include "manifest/zstd_failure.h"
#include "manifest/zstd_frame_header.h"

struct ZstdDeltaDecoder::Context {
  std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> dctx{ZSTD_createDCtx(), &ZSTD_freeDCtx};
  // Left uninitialised: the decoder writes every byte before it counts.
  std::unique_ptr<char[]> result;
  ZSTD_outBuffer out{nullptr, 0, 0};
  ZstdFrameHeader header;
  // Whether zstd has been handed a byte yet (see Read).
  bool started = false;
  bool ended = false;
  // Why the decoder cannot go on; every Read then fails with it.
  std::string broken;
};

ZstdDeltaDecoder::ZstdDeltaDecoder(std::string_view source, std::uint64_t limit)
    : context_(std::make_unique<Context>()) {
  Context& context = *context_;
  if (limit > kLargestDeltaFile) {
    context.broken = "a delta's result of " + std::to_string(limit) + " bytes is above the window limit";
    return;
  }
  context.result.reset(new (std::nothrow) char[limit]);
  if (!context.dctx || !context.result) {
    context.broken = "no memory for a delta's result of " + std::to_string(limit) + " bytes";
    return;
  }
  context.out = {context.result.get(), static_cast<std::size_t>(limit), 0};
  ZSTD_DCtx* dctx = context.dctx.get();
  if (ZstdFailed(ZSTD_DCtx_setParameter(dctx, ZSTD_d_windowLogMax, kDeltaWindowLog), context.broken) ||
      ZstdFailed(ZSTD_DCtx_setParameter(dctx, ZSTD_d_stableOutBuffer, 1), context.broken)) {
    return;
  }
  ZstdFailed(ZSTD_DCtx_refPrefix(dctx, source.data(), source.size()), context.broken);
}

ZstdDeltaDecoder::~ZstdDeltaDecoder() = default;

bool ZstdDeltaDecoder::Read(std::string_view piece, std::string& reason) {
  Context& context = *context_;
  ZSTD_inBuffer in{piece.data(), piece.size(), 0};
  if (context.broken.empty()) context.header.See(piece, context.broken);
  while (context.broken.empty() && in.pos < in.size) {
    if (context.ended) {
      context.broken = "bytes after the end of the zstd frame";
      break;
    }
    // libzstd decodes a frame that it is handed whole in one pass, and that
    // pass refuses frames its streaming decoder takes (a compressed block of
    // no bytes). The first byte alone keeps it streaming, so that a delta
    // decodes the same whole or in pieces.
    ZSTD_inBuffer step{in.src, context.started ? in.size : in.pos + 1, in.pos};
    context.started = true;
    const std::size_t result = ZSTD_decompressStream(context.dctx.get(), &context.out, &step);
    in.pos = step.pos;
    if (ZSTD_isError(result) && ZSTD_getErrorCode(result) == ZSTD_error_dstSize_tooSmall) {
      context.broken = "the zstd frame holds more than " + std::to_string(context.out.size) + " bytes";
    } else if (!ZstdFailed(result, context.broken)) {
      context.ended = result == 0;
      if (context.ended) context.header.Matches(context.out.pos, context.broken);
    }
  }
  if (!context.broken.empty()) reason = context.broken;
  return context.broken.empty();
}

bool ZstdDeltaDecoder::Finish(std::string& reason) const {
  if (!context_->ended) reason = "the zstd frame is cut off";
  return context_->ended;
}

std::string_view ZstdDeltaDecoder::Decoded() const { return {context_->result.get(), context_->out.pos}; }
