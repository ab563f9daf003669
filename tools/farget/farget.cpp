// farget URL LOCALPATH: downloads one file the way the launcher does and
// prints the progress messages it would send to its window. A download cut
// short is kept as LOCALPATH.part and gone on from by the next call;
// transient failures are retried, each retry said on the error output.
#include <iostream>

#include "net/http_downloader.h"
#include "printing_message_target.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: farget URL LOCALPATH\n";
    return 2;
  }
  PrintingMessageTarget window(std::cout);
  DownloadOptions options;
  options.onRetry = [](const RetryNotice& notice) {
    if (notice.phase == RetryNotice::Phase::Pausing) {
      std::cerr << "farget: " << notice.reason << "; retry " << notice.retry << " of " << notice.retries << " in "
                << notice.pause.count() << " ms\n";
    }
  };
  const DownloadResult downloaded = HttpDownloader::DownloadFile(argv[1], argv[2], window, options);
  std::cout.flush();
  if (!downloaded) {
    std::cerr << "farget: " << downloaded.reason << "\n";
    return 1;
  }
  if (downloaded.resumedFrom > 0) std::cerr << "farget: went on from byte " << downloaded.resumedFrom << "\n";
  return 0;
}
