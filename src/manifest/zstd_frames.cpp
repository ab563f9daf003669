#include "manifest/zstd_frames.h"

#include <zstd.h>

#include "manifest/zstd_failure.h"
#include "manifest/zstd_frame_header.h"

struct ZstdFrameWriter::Context {
  ZSTD_CCtx* cctx = ZSTD_createCCtx();
  ~Context() { ZSTD_freeCCtx(cctx); }
};

struct ZstdFrameReader::Context {
  ZSTD_DCtx* dctx = ZSTD_createDCtx();
  std::uint64_t limit = 0;
  std::uint64_t decoded = 0;
  ZstdFrameHeader header;
  bool ended = false;
  ~Context() { ZSTD_freeDCtx(dctx); }
};

namespace {

// Runs the compressor over `input` with `mode` until it has taken all of it
// (and, when ending, written the whole frame).
bool Compress(ZSTD_CCtx* cctx, std::string_view input, ZSTD_EndDirective mode, std::string& out,
              std::string& reason) {
  ZSTD_inBuffer in{input.data(), input.size(), 0};
  std::string buffer(ZSTD_CStreamOutSize(), '\0');
  while (true) {
    ZSTD_outBuffer output{buffer.data(), buffer.size(), 0};
    const std::size_t remaining = ZSTD_compressStream2(cctx, &output, &in, mode);
    if (ZstdFailed(remaining, reason)) return false;
    out.append(buffer.data(), output.pos);
    const bool done = mode == ZSTD_e_end ? remaining == 0 : in.pos == in.size;
    if (done) return true;
  }
}

}  // namespace

ZstdFrameWriter::ZstdFrameWriter(int level, std::uint64_t contentSize) : context_(std::make_unique<Context>()) {
  ZSTD_CCtx_setParameter(context_->cctx, ZSTD_c_compressionLevel, level);
  ZSTD_CCtx_setPledgedSrcSize(context_->cctx, contentSize);
}

ZstdFrameWriter::~ZstdFrameWriter() = default;

bool ZstdFrameWriter::Write(std::string_view piece, std::string& out, std::string& reason) {
  return Compress(context_->cctx, piece, ZSTD_e_continue, out, reason);
}

bool ZstdFrameWriter::Finish(std::string& out, std::string& reason) {
  return Compress(context_->cctx, {}, ZSTD_e_end, out, reason);
}

ZstdFrameReader::ZstdFrameReader(std::uint64_t limit) : context_(std::make_unique<Context>()) {
  context_->limit = limit;
}

ZstdFrameReader::~ZstdFrameReader() = default;

bool ZstdFrameReader::Read(std::string_view piece, const std::function<void(std::string_view)>& sink,
                           std::string& reason) {
  Context& context = *context_;
  ZSTD_inBuffer in{piece.data(), piece.size(), 0};
  if (!context.header.See(piece, reason)) return false;
  std::string buffer(ZSTD_DStreamOutSize(), '\0');
  // A full output buffer may leave decoded bytes behind: call again until
  // one comes back with room to spare.
  bool outputFull = false;
  while (in.pos < in.size || (outputFull && !context.ended)) {
    if (context.ended) {
      reason = "bytes after the end of the zstd frame";
      return false;
    }
    ZSTD_outBuffer output{buffer.data(), buffer.size(), 0};
    const std::size_t result = ZSTD_decompressStream(context.dctx, &output, &in);
    if (ZstdFailed(result, reason)) return false;
    context.decoded += output.pos;
    if (context.decoded > context.limit) {
      reason = "the zstd frame holds more than " + std::to_string(context.limit) + " bytes";
      return false;
    }
    context.ended = result == 0;
    if (context.ended && !context.header.Matches(context.decoded, reason)) return false;
    sink(std::string_view(buffer.data(), output.pos));
    outputFull = output.pos == output.size;
  }
  return true;
}

bool ZstdFrameReader::Finish(std::string& reason) const {
  if (!context_->ended) reason = "the zstd frame is cut off";
  return context_->ended;
}

std::string EncodeZstdFrame(std::string_view content, int level) {
  std::string frame(ZSTD_compressBound(content.size()), '\0');
  const std::size_t size = ZSTD_compress(frame.data(), frame.size(), content.data(), content.size(), level);
  frame.resize(ZSTD_isError(size) ? 0 : size);
  return frame;
}

bool DecodeZstdFrame(std::string_view frame, std::uint64_t limit, std::string& content, std::string& reason) {
  content.clear();
  ZstdFrameReader reader(limit);
  return reader.Read(frame, [&](std::string_view piece) { content.append(piece); }, reason) &&
         reader.Finish(reason);
}
