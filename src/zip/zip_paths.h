#pragma once
// Where an entry may be written: only below the root directory.
#include <filesystem>
#include <string>

// True when `name` ("/" or "\" separators) stays below the directory it is
// taken relative to: not empty, not absolute ("/x", "\x", "C:x") and
// without a ".." component.
bool StaysBelowRoot(const std::string& name);

// True when `name` ends in "/" or "\": some archivers mark directory entries
// only so, without the directory attribute.
bool EndsWithSeparator(const std::string& name);

// Creates root/path and the directories above it below the root, outermost
// first. `path` uses "/" separators. A directory that cannot be made (it is
// a file, for instance) ends the chain; nothing is reported.
void CreateDirectoryChain(const std::filesystem::path& root, const std::string& path);
