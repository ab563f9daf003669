// parallel_fetch_client BASE_URL LIST OUTDIR MODE [BYTES_PER_SECOND]
// Fetches every file LIST names ("<path> <sha256> <size>" per line) from
// BASE_URL into OUTDIR/<line number>, checked against its hash and size:
// MODE "all" with DownloadAll (4 transfers at once, the rate limit shared),
// "one-by-one" with DownloadFile. Prints "seconds S": how long the fetching
// took, without the program's start. Exit status 1 when a file failed.
#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "net/http_downloader.h"
#include "net/parallel_downloads.h"

namespace {

class NoWindow : public platform::MessageTarget {
 public:
  void PostWindowMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::cerr << "usage: parallel_fetch_client BASE_URL LIST OUTDIR all|one-by-one [BYTES_PER_SECOND]\n";
    return 2;
  }
  const std::string base = argv[1];
  const std::string mode = argv[4];
  const std::uint64_t limit = argc == 6 ? std::stoull(argv[5]) : 0;
  std::vector<ParallelDownload> requests;
  std::ifstream list(argv[2]);
  std::string path, sha256;
  std::uint64_t size = 0;
  while (list >> path >> sha256 >> size) {
    requests.push_back({base + path, std::string(argv[3]) + "/" + std::to_string(requests.size()),
                        ExpectedContent{sha256, size}});
  }
  int failed = 0;
  const auto start = std::chrono::steady_clock::now();
  if (mode == "all") {
    ParallelDownloadOptions options;
    options.maxBytesPerSecond = limit;
    for (const DownloadResult& result : DownloadAll(requests, options)) failed += result.ok ? 0 : 1;
  } else {
    NoWindow window;
    for (const ParallelDownload& request : requests) {
      DownloadOptions options;
      options.expected = request.expected;
      options.maxBytesPerSecond = limit;
      failed += HttpDownloader::DownloadFile(request.url, request.localPath, window, options).ok ? 0 : 1;
    }
  }
  std::cout << "seconds " << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() << "\n";
  if (failed > 0) std::cerr << "parallel_fetch_client: " << failed << " of " << requests.size() << " failed\n";
  return failed > 0 ? 1 : 0;
}
