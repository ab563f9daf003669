#pragma once
// A gzip-compressed tar (ustar) archive, written from entries held in
// memory: names sorted, one fixed time and owner for every entry, so that
// the same inputs give the same bytes.
#include <string>
#include <vector>

struct TarEntry {
  std::string name;  // "/"-separated; a folder's ends with "/"
  unsigned mode;     // permission bits, for example 0755
  std::string bytes;  // a file's content; empty for a folder
};

// The archive's bytes; false with the reason for a name ustar cannot hold.
bool GzippedTar(std::vector<TarEntry> entries, std::string& archive, std::string& error);
