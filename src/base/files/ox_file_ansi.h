#pragma once
// The built-in file system on the C runtime's files and the POSIX directory
// functions. One process-wide instance, created on first use.
#include "base/files/ox_file.h"

namespace ox_base {

class OxFileAnsi : public OxFile {
 public:
  static OxFileAnsi* Instance();

  // "stdin" reads standard input (size 1024).
  OxArchivePtr OpenRead(const std::string& path, unsigned flags) override;
  // "stdout" writes standard output. A file open for writing is locked
  // (flock): a second writer fails to open it; readers are not kept out.
  // A file this call created is removed again when the open then fails.
  OxArchivePtr OpenWrite(const std::string& path, unsigned flags) override;
  bool SetWritable(const std::string& path, unsigned flags) override;
  unsigned GetAttributes(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool Delete(const std::string& path, bool mustExist, bool force) override;
  bool ReplaceContents(const std::string& path, const std::string& bytes, bool force) override;
  // The creation time is the status-change time here.
  int64_t GetCreationTime(const std::string& path) override;
  int64_t GetAccessTime(const std::string& path) override;
  int64_t GetModifyTime(const std::string& path) override;
  bool MakeDirectory(const std::string& path, bool tree) override;
  bool DeleteDirectory(const std::string& path, bool mustExist, bool tree) override;
  // Names that have no form in the code page are left out (and logged).
  void FindFiles(std::vector<std::string>& list, const std::string& pattern, bool files, bool directories) override;
  bool SetWorkingDirectory(const std::string& path) override;
  std::string GetWorkingDirectory() override;
};

}  // namespace ox_base
