#pragma once
// What the launcher knows of the game's files without reading them: per
// file the size, modification time and content SHA-256 it saw when it
// installed or last verified the file. A file whose size and time on disk
// are still the recorded ones is taken as the recorded content; any other
// file is unknown and has to be hashed. Names are a manifest's (UTF-8, "/"
// between folders).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "update/site/game_files.h"

// A file's size and modification time (in the file system's own ticks).
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  bool operator==(const FileStamp& other) const { return size == other.size && modified == other.modified; }
};

// The stamp of the regular file at `native`; nothing when there is none
// there (missing, a folder) or its metadata cannot be read.
std::optional<FileStamp> StampOf(const std::string& native);

// Where a manifest's file name is on disk (native).
std::string GameFilePath(const std::string& name);

class InstalledFiles {
 public:
  // The record in the game directory. A missing record is an empty one; so
  // is a record whose text does not read, and `problem` then says why.
  static InstalledFiles Load(std::string& problem);
  // False with the reason when the record could not be replaced.
  bool Save(std::string& reason) const;

  std::string Text() const;
  // Replaces the record with the one `text` holds; false with the reason,
  // the record left empty, for text that is not a whole record.
  bool Read(std::string_view text, std::string& reason);

  void Record(const std::string& name, const FileStamp& stamp, const std::string& sha256);
  void Forget(const std::string& name);
  // The SHA-256 recorded for `name` when its file on disk still has the
  // recorded stamp; nothing when the content is unknown.
  std::optional<std::string> UnchangedContent(const std::string& name) const;

 private:
  struct Entry {
    FileStamp stamp;
    std::string sha256;
  };
  std::map<std::string, Entry> files_;
};
