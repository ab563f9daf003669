#include "trust/file_digest.h"

#include <fstream>
#include <string_view>
#include <vector>

#include "trust/sha256.h"

bool DigestFile(const std::filesystem::path& path, FileDigest& digest, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  Sha256 hash;
  std::uint64_t size = 0;
  std::vector<char> buffer(1 << 16);
  while (in && (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)) {
    hash.Update(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    size += static_cast<std::uint64_t>(in.gcount());
  }
  if (!in.eof() || in.bad()) {
    error = "cannot read " + path.u8string();
    return false;
  }
  digest = {hash.FinishHex(), size};
  return true;
}
