#include "update/site/mirror_downloads.h"

#include "manifest/mirror_list.h"
#include "update/site/address_scheme.h"
#include "update/site/failure_log.h"

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

std::string SiteSources::Address(std::size_t source, const SiteFile& file) const {
  return sources_[source].root + file.path;
}

std::string SiteSources::SourceName(std::size_t index) const {
  return (index == 0 ? "the site " : "mirror ") + sources_[index].root;
}

void SiteSources::Failed(std::size_t source, const std::string& address, const DownloadResult& result) {
  LogFailure(SourceName(source), address, result.reason);
  if (result.contentMismatch && !sources_[source].bad) {
    sources_[source].bad = true;
    LogFailure(SourceName(source), "", "served a wrong file; in this run it is asked only where every other source failed");
  }
}

std::vector<SiteFileResult> SiteSources::Download(const std::vector<SiteFile>& files,
                                                  const ParallelDownloadOptions& options,
                                                  const std::function<void(std::size_t)>& onArrived) {
  // The sources each file was asked of, and the one it is asked of now.
  std::vector<std::vector<bool>> tried(files.size(), std::vector<bool>(sources_.size(), false));
  std::vector<std::size_t> source(files.size());
  std::vector<ParallelDownload> requests;
  for (std::size_t i = 0; i < files.size(); ++i) {
    source[i] = NextSource(tried[i]);
    requests.push_back(ParallelDownload{Address(source[i], files[i]), files[i].localPath, files[i].expected});
  }
  const auto moveTo = [&](std::size_t i, std::size_t next) {
    if (next == sources_.size()) return std::string();
    source[i] = next;
    return Address(next, files[i]);
  };
  ParallelDownloadOptions run = options;
  // A source found bad meanwhile waits until every good one failed for the file.
  run.addressBeforeAttempt = [&](std::size_t i) {
    const std::size_t next = NextSource(tried[i]);
    const bool better = next != sources_.size() && !sources_[next].bad;
    return sources_[source[i]].bad && better ? moveTo(i, next) : std::string();
  };
  // Any failure moves the file on while a source is left: only the last one
  // it is asked of is worth the retries and their pauses.
  run.addressAfterFailure = [&](std::size_t i, const DownloadResult& failed) {
    Failed(source[i], Address(source[i], files[i]), failed);
    tried[i][source[i]] = true;
    return moveTo(i, NextSource(tried[i]));
  };
  if (onArrived) {
    run.onEnded = [&onArrived](std::size_t i, const DownloadResult& result) {
      if (result) onArrived(i);
    };
  }
  const std::vector<DownloadResult> arrived = DownloadAll(requests, run);
  std::vector<SiteFileResult> results;
  results.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    results.push_back(SiteFileResult{arrived[i], Address(source[i], files[i])});
  }
  return results;
}
