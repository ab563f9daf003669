// farget URL LOCALPATH: downloads one file the way the launcher does and
// prints the progress messages it would send to its window.
#include <iostream>

#include "net/http_downloader.h"
#include "printing_message_target.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: farget URL LOCALPATH\n";
    return 2;
  }
  PrintingMessageTarget window(std::cout);
  const DownloadResult downloaded = HttpDownloader::DownloadFile(argv[1], argv[2], window);
  std::cout.flush();
  if (!downloaded) {
    std::cerr << "farget: " << downloaded.reason << "\n";
    return 1;
  }
  return 0;
}
