#include "update/mirror_downloads.h"

#include "manifest/mirror_list.h"
#include "update/failure_log.h"
#include "update/worker_steps.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

SiteSources::SiteSources(const std::string& siteRoot, const std::string& mirrors) {
  sources_.push_back(Source{siteRoot});
  for (const std::string& mirror : MirrorsOf(mirrors)) {
    if (SchemeOf(mirror) == AddressScheme::Http) {
      sources_.push_back(Source{mirror});
    } else {
      LogFailure("mirror " + mirror, "", "not an http or https address; not used");
    }
  }
}

bool SiteSources::SiteRootOf(const std::string& objectsBase, std::string& siteRoot) {
  const std::string folder = std::string("/") + kObjectsFolder;
  if (!EndsWith(objectsBase, folder)) return false;
  siteRoot = objectsBase.substr(0, objectsBase.size() - folder.size() + 1);
  return true;
}

std::size_t SiteSources::NextSource(const std::vector<bool>& tried) const {
  for (const bool bad : {false, true}) {
    for (std::size_t source = 0; source < sources_.size(); ++source) {
      if (!tried[source] && sources_[source].bad == bad) return source;
    }
  }
  return sources_.size();
}

std::string SiteSources::SourceName(std::size_t index) const {
  return (index == 0 ? "the site " : "mirror ") + sources_[index].root;
}

void SiteSources::Failed(std::size_t source, const std::string& address, const DownloadResult& result) {
  LogFailure(SourceName(source), address, result.reason);
  if ((result.contentMismatch || result.tooLarge) && !sources_[source].bad) {
    sources_[source].bad = true;
    LogFailure(SourceName(source), "", "served a wrong file; in this run it is asked only where every other source failed");
  }
}

std::vector<SiteFileResult> SiteSources::Download(const std::vector<SiteFile>& files,
                                                  const ParallelDownloadOptions& options,
                                                  const std::function<void(std::size_t)>& onArrived) {
  std::vector<SiteFileResult> results(files.size());
  // The sources each file was asked of, and its source in this round.
  std::vector<std::vector<bool>> tried(files.size(), std::vector<bool>(sources_.size(), false));
  std::vector<std::size_t> source(files.size(), 0);
  // The round's files (by index in `files`), their requests, and which of
  // them were not asked for as their source turned out bad meanwhile.
  std::vector<std::size_t> pending;
  std::vector<ParallelDownload> requests;
  std::vector<bool> leftOut;
  const auto isCancelled = [&options] { return options.cancelled && options.cancelled(); };
  std::uint64_t arrivedBefore = 0;
  ParallelDownloadOptions round = options;
  if (options.onProgress) {
    round.onProgress = [&arrivedBefore, &options](std::uint64_t arrived) { options.onProgress(arrivedBefore + arrived); };
  }
  // A source found bad meanwhile waits until every good one failed for the file.
  round.leaveOut = [&](std::size_t k) {
    const std::size_t i = pending[k];
    leftOut[k] = sources_[source[i]].bad && !sources_[NextSource(tried[i])].bad;
    return leftOut[k];
  };
  round.onEnded = [&](std::size_t k, const DownloadResult& result) {
    if (result) {
      if (onArrived) onArrived(pending[k]);
    } else if (!leftOut[k] && !isCancelled()) {
      Failed(source[pending[k]], requests[k].url, result);
    }
  };
  for (bool cancelled = false; !cancelled;) {
    pending.clear();
    requests.clear();
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (results[i].result) continue;
      source[i] = NextSource(tried[i]);
      if (source[i] == sources_.size()) continue;
      pending.push_back(i);
      requests.push_back(ParallelDownload{sources_[source[i]].root + files[i].path, files[i].localPath,
                                          files[i].expected});
    }
    if (requests.empty()) break;
    leftOut.assign(requests.size(), false);
    const std::vector<DownloadResult> arrived = DownloadAll(requests, round);
    cancelled = isCancelled();
    for (std::size_t k = 0; k < pending.size(); ++k) {
      if (leftOut[k]) continue;
      const std::size_t i = pending[k];
      tried[i][source[i]] = true;
      results[i] = SiteFileResult{arrived[k], requests[k].url};
      if (arrived[k]) arrivedBefore += arrived[k].bytesReceived;
    }
  }
  return results;
}
