#pragma once
// Files of the update site fetched from the site itself or from any of its
// mirrors (folders holding a copy of the whole site). Every file is checked
// by its size and SHA-256, so a mirror needs no trust: a file that fails at
// one source is asked of the next, and a source that served wrong bytes is
// asked only as a last resort for the rest of the run. Only objects and
// deltas come this way; the document, its signature and the manifest keep
// their addresses.
#include <functional>
#include <string>
#include <vector>

#include "manifest/release_manifest.h"
#include "net/content_check.h"
#include "net/http_downloader.h"
#include "net/parallel_downloads.h"

// One file of the site.
struct SiteFile {
  // Below the site's folder, as on every mirror: "objects/ab/<sha256>".
  std::string path;
  std::string localPath;
  ExpectedContent expected;
};

// What became of one file: the result of its last request, and that
// request's address (where it came from, or where it failed last).
struct SiteFileResult {
  DownloadResult result;
  std::string address;
};

class SiteSources {
 public:
  // The site's folder (`siteRoot`, ending in "/") first, then each mirror
  // of a Mirrors value in its order; a mirror that is not an http or https
  // address is logged and left out.
  SiteSources(const std::string& siteRoot, const std::string& mirrors);

  // The site's folder above the manifest's objects address (which ends in
  // "objects/"); false when that address is not such a folder.
  static bool SiteRootOf(const std::string& objectsBase, std::string& siteRoot);

  // The site's own folder, before every mirror.
  const std::string& SiteRoot() const { return sources_.front().root; }

  // Downloads every file in one DownloadAll, each from its first good
  // source, and a file whose request failed from its next source at once,
  // until each arrived or every source failed for it. Each failure is
  // logged naming its source. Any failure (a refused connection, a stall,
  // an HTTP error) moves the file on without the retries and their pauses,
  // which only its last source gets; a wrong size or SHA-256 also marks the
  // source bad at once: in this call and later ones it is asked for a file
  // only after every other source failed for it (one stale file on the site
  // must not cost the rest of its files). `onArrived` is told of each file
  // (by its index) once, as soon as it arrived whole from some source, on
  // the calling thread. A cancelled call ends at once, keeping what arrived
  // for the next one. One result per file, in order.
  std::vector<SiteFileResult> Download(const std::vector<SiteFile>& files, const ParallelDownloadOptions& options,
                                       const std::function<void(std::size_t index)>& onArrived = {});

 private:
  struct Source {
    std::string root;  // ending in "/"
    // Served a file that was not the one asked for.
    bool bad = false;
  };

  // The first source not `tried` yet, good ones before bad ones;
  // sources_.size() when every one was tried.
  std::size_t NextSource(const std::vector<bool>& tried) const;
  std::string SourceName(std::size_t index) const;
  // Where `file` is at `source`.
  std::string Address(std::size_t source, const SiteFile& file) const;
  // Logs the failure of a request to `source`; one that brought a wrong
  // file marks the source bad.
  void Failed(std::size_t source, const std::string& address, const DownloadResult& result);

  std::vector<Source> sources_;
};
