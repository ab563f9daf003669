#pragma once
// The content of many game files at once: hashed on several threads, each
// file read once, the largest first so that the threads end together.
#include <string>
#include <vector>

#include "update/gamedir/installed_files.h"

struct HashedFile {
  enum class Outcome { Hashed, Missing, Unreadable };
  Outcome outcome = Outcome::Missing;
  // Hashed: the file's stamp from before it was read (a change while it is
  // read gives it another), its SHA-256 and the number of bytes hashed.
  FileStamp stamp;
  std::string sha256;
  std::uint64_t size = 0;
  // Unreadable: why.
  std::string problem;
};

// How many threads hash at once: one per processor, at most 4.
unsigned HashingThreads();

// The files at the native paths `files`, hashed on `threads` threads; the
// results in the order of `files`.
std::vector<HashedFile> HashFiles(const std::vector<std::string>& files, unsigned threads);
