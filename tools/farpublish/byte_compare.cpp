#include "byte_compare.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kChunkSize = 1 << 16;

// Fills the buffer unless the stream ends first: the count, or -1.
std::int64_t ReadFull(const ChunkReader& read, char* buffer, std::size_t capacity) {
  std::size_t filled = 0;
  while (filled < capacity) {
    const std::int64_t count = read(buffer + filled, capacity - filled);
    if (count < 0) return -1;
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  return static_cast<std::int64_t>(filled);
}

}  // namespace

Comparison CompareStreams(const ChunkReader& a, const ChunkReader& b) {
  std::vector<char> bufferA(kChunkSize);
  std::vector<char> bufferB(kChunkSize);
  for (;;) {
    const std::int64_t countA = ReadFull(a, bufferA.data(), kChunkSize);
    const std::int64_t countB = ReadFull(b, bufferB.data(), kChunkSize);
    if (countA < 0 || countB < 0) return Comparison::ReadError;
    if (countA != countB ||
        std::memcmp(bufferA.data(), bufferB.data(), static_cast<std::size_t>(countA)) != 0) {
      return Comparison::Different;
    }
    if (countA == 0) return Comparison::Equal;
  }
}

ChunkReader FileChunks(std::ifstream& file) {
  return [&file](char* buffer, std::size_t capacity) -> std::int64_t {
    file.read(buffer, static_cast<std::streamsize>(capacity));
    if (file.bad()) return -1;
    return file.gcount();
  };
}
