#pragma once
// The Sha256 and Size a server document gives for a file, read from disk.
#include <cstdint>
#include <filesystem>
#include <string>

struct FileDigest {
  std::string sha256;  // 64 lower-case hex digits
  std::uint64_t size = 0;
};

// False with the reason when the file cannot be read.
bool DigestFile(const std::filesystem::path& path, FileDigest& digest, std::string& error);
