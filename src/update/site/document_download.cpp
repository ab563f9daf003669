#include "update/site/document_download.h"

#include <chrono>

#include "net/http_downloader.h"
#include "update/site/document_signature.h"
#include "update/site/game_files.h"

namespace {

// The fetch is retried eleven times by the status timer: a silent server
// must not hold the start for more than about two minutes, nor a huge
// answer (a wrong address, a proxy's page) fill the memory, nor a
// trickling one hold it past its deadline. It is small: never resumed, and
// retried by the timer only.
const DownloadOptions kServerDocumentFetch{std::chrono::seconds(10), 4 * 1024 * 1024, {},
                                           false, RetryPolicy::None(), {}, 0, kDocumentFetchDeadline};

}  // namespace

bool DownloadServerDocument(const std::string& address, platform::MessageTarget& window, std::string& plain,
                            std::string& reason) {
  const DownloadResult download =
      HttpDownloader::DownloadFile(address, kDownloadedServerDocument, window, kServerDocumentFetch);
  const bool read = download && ReadGameFile(kDownloadedServerDocument, plain);
  DeleteFileIfPresent(kDownloadedServerDocument);
  if (!download) {
    reason = download.reason;
  } else if (!read) {
    reason = "the downloaded document cannot be read back";
  }
  return download && read;
}
