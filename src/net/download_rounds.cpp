#include "net/download_rounds.h"

DownloadRounds::DownloadRounds(const std::string& url, const std::string& localPath, const DownloadOptions& options)
    : url_(url), options_(options), part_(localPath), start_{url_, part_, 0, {}} {
  if (options_.resume && options_.keepComplete) part_.ReclaimComplete();
}

const AttemptStart& DownloadRounds::Begin() {
  ++attempts_;
  start_.have = 0;
  start_.meta = PartialMeta();
  if (options_.resume) start_.have = part_.ResumableBytes(url_, options_.expected, start_.meta);
  if (start_.have == 0) part_.DiscardMeta();
  return start_;
}

DownloadRounds::Next DownloadRounds::After(DownloadResult& result, const AttemptEnd& end, RetryNotice& notice) {
  result.attempts = attempts_;
  if (result.ok) return Next::Done;
  // Bytes that the server would not go on from, or that turn out not to
  // be the file's, are dropped, once: the whole file is asked for.
  if (!startedOver_ && (end.resumeRefused || (end.resumed && result.contentMismatch))) {
    startedOver_ = true;
    part_.Discard();
    return Next::AgainAtOnce;
  }
  if (!end.transient || retries_ >= options_.retry.retries) {
    if (end.writeFailed) part_.Discard();
    else Stop();
    return Next::Done;
  }
  ++retries_;
  notice = RetryNotice{RetryNotice::Phase::Pausing, retries_, options_.retry.retries, result.reason,
                       options_.retry.PauseBefore(retries_, end.retryAfter)};
  return Next::AgainAfterPause;
}

void DownloadRounds::Stop() const {
  PartialMeta unused;
  if (!options_.resume || part_.ResumableBytes(url_, options_.expected, unused) == 0) part_.Discard();
}
