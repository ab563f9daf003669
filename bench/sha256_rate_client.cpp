// sha256_rate_client FILE
// Reads FILE whole, then hashes it in memory with every SHA-256 block
// function this CPU runs and with Sha256's own choice, each three times;
// prints per way its best rate in MB/s and the hash, which must agree.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "trust/sha256.h"

namespace {

void Rate(const char* name, const std::string& bytes, Sha256& hash) {
  double best = 1e9;
  std::string hex;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    hash.Update(bytes);
    hex = hash.FinishHex();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("%s %.0f %s\n", name, static_cast<double>(bytes.size()) / best / 1e6, hex.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sha256_rate_client FILE\n");
    return 2;
  }
  std::string bytes(std::filesystem::file_size(argv[1]), '\0');
  std::ifstream(argv[1], std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Sha256 portable(PortableSha256Blocks);
  Rate("portable", bytes, portable);
  if (const Sha256Blocks fast = ShaExtensionSha256Blocks()) {
    Sha256 extensions(fast);
    Rate("sha-extensions", bytes, extensions);
  }
  Sha256 chosen;
  Rate("chosen", bytes, chosen);
  return 0;
}
