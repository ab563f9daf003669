#include "net/body_transfer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/files/ox_path.h"

namespace {

constexpr std::size_t kChunkSize = 0x100000;

// The system's words for the error the last failed call left in errno.
std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

}  // namespace

BodyTransfer::BodyTransfer(CURL* curl, const DownloadOptions& options, const AttemptStart& start,
                           const ResponseHeaders& headers, BodyProgress& progress, DownloadResult& result,
                           AttemptEnd& end)
    : curl_(curl),
      options_(options),
      start_(start),
      headers_(headers),
      progress_(progress),
      result_(result),
      end_(end),
      check_(options.expected) {}

bool BodyTransfer::Start() {
  curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &result_.httpStatus);
  if (start_.have > 0 && result_.httpStatus == 206) return StartResumed();
  if (start_.have > 0 && result_.httpStatus == 416) {
    end_.resumeRefused = true;
    return Fail("HTTP 416 to a request for the bytes from " + std::to_string(start_.have));
  }
  if (result_.httpStatus != 200) {
    end_.transient = IsTransientStatus(result_.httpStatus);
    end_.retryAfter = ParseRetryAfter(headers_.retryAfter);
    return Fail("HTTP " + std::to_string(result_.httpStatus));
  }
  // A 200 to a resumed request is the whole file again: it changed, or
  // the server does not serve ranges.
  if (!Open("wb")) return false;
  curl_off_t length = -1;
  curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if (length < 0) return Fail("the server announced no length");
  result_.bytesExpected = static_cast<std::uint64_t>(length);
  if (TooLarge(*result_.bytesExpected)) {
    return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes (" + std::to_string(length) +
                        " announced)");
  }
  if (std::string problem = check_.CheckLength(*result_.bytesExpected); !problem.empty()) {
    return Reject(std::move(problem));
  }
  if (options_.resume && length > 0) {
    // A weak ETag cannot vouch for bytes in a range request.
    const bool strong = headers_.etag.rfind("W/", 0) != 0;
    unsavedMeta_ = PartialMeta{start_.url, strong ? headers_.etag : std::string(), headers_.lastModified,
                               *result_.bytesExpected, options_.expected};
  }
  SizeBuffer();
  return true;
}

bool BodyTransfer::Append(const char* data, std::size_t size) {
  if (TooLarge(result_.bytesReceived + used_ + size)) {
    return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes");
  }
  while (size > 0) {
    std::size_t room = buffer_.size() - used_;
    std::size_t piece = std::min(size, room);
    std::copy(data, data + piece, buffer_.data() + used_);
    used_ += piece;
    data += piece;
    size -= piece;
    if (used_ == buffer_.size() && !WriteChunk()) return false;
  }
  progress_.Arrived(result_.bytesReceived + used_, *result_.bytesExpected);
  return true;
}

bool BodyTransfer::Finish() {
  if (used_ > 0 && !WriteChunk()) return false;
  buffer_ = std::vector<char>();
  if (!file_.Close()) {
    end_.writeFailed = true;
    return Fail(SystemError());
  }
  if (result_.bytesReceived != result_.bytesExpected) {
    return Fail("the body ended after " + std::to_string(result_.bytesReceived) + " of " +
                std::to_string(*result_.bytesExpected) + " bytes");
  }
  if (std::string problem = check_.Finish(); !problem.empty()) return Reject(std::move(problem));
  std::string problem;
  if (!start_.part.Promote(problem, options_.keepComplete)) return Fail(std::move(problem));
  return true;
}

void BodyTransfer::KeepReceived() {
  if (file_ && used_ > 0 && Store()) result_.bytesReceived += used_;
  used_ = 0;
}

bool BodyTransfer::Open(const char* mode) {
  file_ = ox_base::FileHandle::Open(start_.part.PartPath(), mode);
  if (!file_) return Fail("cannot create " + start_.part.PartPath() + ": " + SystemError());
  // Writes go out in whole chunks already; stdio's buffer would only copy.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  return true;
}

// A 206 goes on from the partial file only when it starts where the file
// stops and describes the same file; the hash takes the bytes already
// there first.
bool BodyTransfer::StartResumed() {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  std::uint64_t total = 0;
  curl_off_t length = -1;
  curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  const bool sameValidator = start_.meta.etag.empty() || headers_.etag.empty() || headers_.etag == start_.meta.etag;
  if (!ParseContentRange(headers_.contentRange, first, last, total) || first != start_.have || last + 1 != total ||
      total != start_.meta.length || length < 0 || static_cast<std::uint64_t>(length) != total - first ||
      !sameValidator) {
    end_.resumeRefused = true;
    return Fail("the server went on with Content-Range \"" + headers_.contentRange + "\" for bytes from " +
                std::to_string(start_.have) + " of " + std::to_string(start_.meta.length));
  }
  result_.bytesExpected = total;
  if (TooLarge(total)) return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes");
  if (std::string problem = check_.CheckLength(total); !problem.empty()) return Reject(std::move(problem));
  if (!HashPartialFile() || !DropBytesFrom(start_.have) || !Open("ab")) return false;
  result_.bytesReceived = start_.have;
  result_.resumedFrom = start_.have;
  end_.resumed = true;
  SizeBuffer();
  // The bar starts where the last download stopped.
  progress_.Resumed(start_.have, total);
  return true;
}

bool BodyTransfer::HashPartialFile() {
  ox_base::FileHandle existing = ox_base::FileHandle::Open(start_.part.PartPath(), "rb");
  std::vector<char> piece(kChunkSize);
  std::uint64_t left = start_.have;
  while (existing && left > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
    if (std::fread(piece.data(), 1, want, existing.get()) != want) break;
    check_.Update(std::string_view(piece.data(), want));
    left -= want;
  }
  if (left == 0) return true;
  end_.resumeRefused = true;
  return Fail("cannot read " + start_.part.PartPath() + ": " + SystemError());
}

// A whole file asked for its last byte gets it again.
bool BodyTransfer::DropBytesFrom(std::uint64_t size) {
  std::error_code error;
  const std::filesystem::path part = ox_base::NativeFilesystemPath(start_.part.PartPath());
  if (std::filesystem::file_size(part, error) > size && !error) std::filesystem::resize_file(part, size, error);
  if (!error) return true;
  end_.resumeRefused = true;
  return Fail("cannot shorten " + start_.part.PartPath() + ": " + error.message());
}

void BodyTransfer::SizeBuffer() {
  const std::uint64_t left = *result_.bytesExpected - result_.bytesReceived;
  buffer_.resize(static_cast<std::size_t>(std::clamp<std::uint64_t>(left, 1, kChunkSize)));
}

bool BodyTransfer::FailTooLarge(std::string reason) {
  result_.tooLarge = true;
  return Fail(std::move(reason));
}

bool BodyTransfer::Fail(std::string reason) {
  result_.reason = std::move(reason);
  return false;
}

// A file that is not the expected one must not be installed by anyone: it
// goes at once.
bool BodyTransfer::Reject(std::string reason) {
  file_.Close();
  start_.part.Discard();
  result_.contentMismatch = true;
  return Fail(std::move(reason));
}

bool BodyTransfer::WriteChunk() {
  if (!Store()) {
    end_.writeFailed = true;
    return Fail(SystemError());
  }
  check_.Update(std::string_view(buffer_.data(), used_));
  result_.bytesReceived += used_;
  used_ = 0;
  return true;
}

bool BodyTransfer::Store() {
  // The sidecar goes first: bytes on disk are only ever gone on from when
  // it describes them. Bytes that complete the body need none: nothing goes
  // on from a whole file (a small file is stored with one write).
  if (unsavedMeta_ && (options_.keepComplete || result_.bytesReceived + used_ < *result_.bytesExpected)) {
    start_.part.SaveMeta(*unsavedMeta_);
  }
  unsavedMeta_.reset();
  return std::fwrite(buffer_.data(), 1, used_, file_.get()) == used_;
}
