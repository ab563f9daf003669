#pragma once
// Archives on the C runtime's buffered files. They count the bytes they move
// in their file system and report failures to the "Base" log.
#include <cstdio>
#include <string>

#include "base/files/ox_archive.h"

namespace ox_base {

class OxFile;

class OxArchiveFileReader : public OxArchive {
 public:
  // owned: the handle is closed with the archive (not so for stdin).
  OxArchiveFileReader(OxFile& fileSystem, std::FILE* file, int64_t size, bool owned);
  ~OxArchiveFileReader() override;

  int Serialize(void* buffer, int length) override;
  void Seek(int64_t offset, int origin) override;
  bool Close() override;
  int64_t Tell() const override;
  int64_t GetSize() const override { return m_size; }

 private:
  OxFile& m_fileSystem;
  std::FILE* m_file;
  int64_t m_size;
  bool m_owned;
};

class OxArchiveFileWriter : public OxArchive {
 public:
  // owned: the handle is closed with the archive (not so for stdout).
  // deletePath: a temporary file removed when closed ("" for none).
  OxArchiveFileWriter(OxFile& fileSystem, std::FILE* file, bool owned, std::string deletePath);
  ~OxArchiveFileWriter() override;

  int Serialize(void* buffer, int length) override;
  void Seek(int64_t offset, int origin) override;
  void Flush() override;
  bool Close() override;
  int64_t Tell() const override;

 private:
  OxFile& m_fileSystem;
  std::FILE* m_file;
  bool m_owned;
  std::string m_deletePath;
};

}  // namespace ox_base
