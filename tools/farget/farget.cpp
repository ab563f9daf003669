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
  bool downloaded = HttpDownloader::DownloadFile(argv[1], argv[2], window);
  std::cout.flush();
  return downloaded ? 0 : 1;
}
