#pragma once
// Bytes from a seeded generator: content no compressor or hash shortcut
// treats specially, the same on every run.
#include <cstddef>
#include <random>
#include <string>

inline std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}
