#pragma once
// Compares two byte streams of any kind (files, archive entries) without
// holding either in memory.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>

// Reads up to `capacity` bytes into `buffer`: the count, 0 at the end, a
// negative count for a read error. May return fewer bytes before the end.
using ChunkReader = std::function<std::int64_t(char* buffer, std::size_t capacity)>;

enum class Comparison { Equal, Different, ReadError };

Comparison CompareStreams(const ChunkReader& a, const ChunkReader& b);

// A reader over an open file stream.
ChunkReader FileChunks(std::ifstream& file);
