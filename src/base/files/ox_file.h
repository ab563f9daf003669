#pragma once
// The base library's file system: opens files as archives, queries and
// changes files and directories, lists directory contents. Every file access
// of the library and the launcher's file checks go through one OxFile,
// reached with OxBase::GetFileSystem(). Paths are launcher names: they may
// carry Windows forms (".\client.exe", "dir\file"), are written in the base
// code page and match files whatever their letter case (see NativePath);
// names listed from the disk come back in the code page.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/files/ox_archive.h"

namespace ox_base {

// Open-read flags.
enum : unsigned {
  OX_READ_QUIET = 0x01,       // no log message on failure
  OX_READ_NO_PREOPENED = 0x02 // bypass pre-opened files (there are none)
};

// Open-write flags.
enum : unsigned {
  OX_WRITE_QUIET = 0x01,       // no log message on failure
  OX_WRITE_NEW_ONLY = 0x02,    // fail, without message, when the file exists
  OX_WRITE_FORCE = 0x04,       // make an existing file writable first
  OX_WRITE_UNBUFFERED = 0x08,
  OX_WRITE_APPEND = 0x10,      // append instead of truncate
  OX_WRITE_TEXT = 0x20,        // text mode (same as binary here)
  OX_WRITE_TEMPORARY = 0x40,   // deleted when closed
  OX_WRITE_SHARE_READ = 0x80,  // others may read while it is open
};

// GetAttributes bits; SetWritable takes OX_ATTR_WRITABLE to make writable.
enum : unsigned { OX_ATTR_READABLE = 0x01, OX_ATTR_WRITABLE = 0x02 };

class OxFile {
 public:
  using Progress = std::function<void(float)>;

  virtual ~OxFile() = default;

  // Under the file-system lock: the whole file copied into a memory archive.
  virtual OxArchivePtr OpenMemory(const std::string& path, unsigned flags);
  virtual OxArchivePtr OpenWrite(const std::string& path, unsigned flags) = 0;
  // Destroys the archive, closing its file.
  virtual void Close(OxArchivePtr archive);
  // Size in bytes, or -1 when the file cannot be opened.
  virtual int64_t GetFileSize(const std::string& path);
  virtual bool SetWritable(const std::string& path, unsigned flags) = 0;
  virtual unsigned GetAttributes(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) { return Exists(path); }
  // Removes a file; true when removed, or when missing and !mustExist.
  virtual bool Delete(const std::string& path, bool mustExist, bool force) = 0;
  virtual bool Copy(const std::string& destination, const std::string& source, bool overwrite, bool force,
                    const Progress& progress);
  // Copy, then delete the source; the copy's result. A file moved onto
  // itself stays as it is (true only when overwriting is allowed).
  virtual bool Move(const std::string& destination, const std::string& source, bool overwrite, bool force);
  // Saves `bytes` as the whole content of the file at `path`, atomically: a
  // temporary file beside it is written, flushed to the disk and renamed
  // over it, so a crash or a full disk never leaves a truncated file and a
  // failed save leaves the old one as it was. A symbolic link is written
  // through (its target is replaced, the link stays); the file keeps its
  // permission bits (a new one gets the usual ones). A file the user may not
  // write is not replaced; `force` first makes a read-only file of the
  // user's writable, as OX_WRITE_FORCE does. False, with the reason on the
  // "Base" log, when nothing was saved.
  virtual bool ReplaceContents(const std::string& path, const std::string& bytes, bool force) = 0;
  // Seconds since 1970, -1 when the file does not exist.
  virtual int64_t GetCreationTime(const std::string& path) = 0;
  virtual int64_t GetAccessTime(const std::string& path) = 0;
  virtual int64_t GetModifyTime(const std::string& path) = 0;
  // Changing file times is not supported: always false.
  bool SetCreationTime(const std::string&, int64_t) { return false; }
  bool SetAccessTime(const std::string&, int64_t) { return false; }
  bool SetModifyTime(const std::string&, int64_t) { return false; }
  // The tree variant here; implementations create single directories.
  virtual bool MakeDirectory(const std::string& path, bool tree);
  // Removes an empty directory, or with `tree` the directory and everything
  // below it; true when removed, or when missing and !mustExist. A tree is
  // walked as it is on disk: every entry is removed under its own name (a
  // name holding "\" is no path), and links are removed, never followed.
  virtual bool DeleteDirectory(const std::string& path, bool mustExist, bool tree) = 0;
  // Clears the list, then adds the names (without directory) of entries
  // matching the pattern; "*" and "?" match in the last component. Letter
  // case is ignored in every component. "." and ".." never appear.
  virtual void FindFiles(std::vector<std::string>& list, const std::string& pattern, bool files,
                         bool directories) = 0;
  void ListDirectory(std::vector<std::string>& list, const std::string& directory, bool files, bool directories);
  virtual bool SetWorkingDirectory(const std::string& path) = 0;
  virtual std::string GetWorkingDirectory() = 0;
  virtual void Initialize() {}
  virtual void Shutdown() {}

  int64_t GetBytesRead() const { return m_bytesRead; }
  int64_t GetFilesOpenedForReading() const { return m_filesRead; }
  int64_t GetBytesWritten() const { return m_bytesWritten; }
  void AddBytesRead(int64_t count) { m_bytesRead += count; }
  void AddBytesWritten(int64_t count) { m_bytesWritten += count; }

  virtual OxArchivePtr OpenRead(const std::string& path, unsigned flags) = 0;

 protected:
  void CountFileOpenedForReading() { ++m_filesRead; }

 private:
  std::atomic<int64_t> m_bytesRead{0};
  std::atomic<int64_t> m_filesRead{0};
  std::atomic<int64_t> m_bytesWritten{0};
  std::mutex m_memoryLock;
};

}  // namespace ox_base
