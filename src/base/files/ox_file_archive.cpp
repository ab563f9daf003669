#include "base/files/ox_file_archive.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/log/ox_log.h"
#include "base/files/ox_path.h"

namespace ox_base {
namespace {

template <typename... Args>
void LogError(const char* format, Args... args) {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Error(format, args...);
}

}  // namespace

OxArchiveFileReader::OxArchiveFileReader(OxFile& fileSystem, std::FILE* file, int64_t size, bool owned)
    : OxArchive(kLoading), m_fileSystem(fileSystem), m_file(file), m_size(size), m_owned(owned) {}

OxArchiveFileReader::~OxArchiveFileReader() { Close(); }

int OxArchiveFileReader::Serialize(void* buffer, int length) {
  if (!m_file || length <= 0) return 0;
  size_t got = std::fread(buffer, 1, static_cast<size_t>(length), m_file);
  m_fileSystem.AddBytesRead(static_cast<int64_t>(got));
  if (got < static_cast<size_t>(length) && std::ferror(m_file)) {
    SetError();
    LogError("OxArchiveFileReader: fread Failed: Length=%i pError=%i\n", length, std::ferror(m_file));
  }
  return static_cast<int>(got);
}

void OxArchiveFileReader::Seek(int64_t offset, int origin) {
  if (!m_file) return;
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (origin < 0 || origin > 2 || fseeko(m_file, static_cast<off_t>(offset), kWhence[origin]) != 0) {
    SetError();
    LogError("OxArchiveFileReader: Seek Failed %i/%i: %i %i\n", static_cast<int>(offset), static_cast<int>(m_size),
             static_cast<int>(Tell()), std::ferror(m_file));
  }
}

bool OxArchiveFileReader::Close() {
  if (m_file && m_owned && std::fclose(m_file) != 0) {
    SetError();
    LogError("OxArchiveFileReader: fclose Failed: pError=%i\n", errno);
  }
  m_file = nullptr;
  return !HasError();
}

int64_t OxArchiveFileReader::Tell() const { return m_file ? static_cast<int64_t>(ftello(m_file)) : -1; }

OxArchiveFileWriter::OxArchiveFileWriter(OxFile& fileSystem, std::FILE* file, bool owned, std::string deletePath)
    : OxArchive(kStoring), m_fileSystem(fileSystem), m_file(file), m_owned(owned), m_deletePath(std::move(deletePath)) {}

OxArchiveFileWriter::~OxArchiveFileWriter() { Close(); }

int OxArchiveFileWriter::Serialize(void* buffer, int length) {
  if (!m_file || length <= 0) return 0;
  size_t put = std::fwrite(buffer, 1, static_cast<size_t>(length), m_file);
  m_fileSystem.AddBytesWritten(static_cast<int64_t>(put));
  if (put < static_cast<size_t>(length)) {
    SetError();
    LogError("OxArchiveFileReader: fwrite Failed: Length=%i pError=%i\n", length, std::ferror(m_file));
  }
  return static_cast<int>(put);
}

void OxArchiveFileWriter::Seek(int64_t offset, int origin) {
  if (!m_file) return;
  Flush();
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (origin < 0 || origin > 2 || fseeko(m_file, static_cast<off_t>(offset), kWhence[origin]) != 0) {
    SetError();
    LogError("OxArchiveFileReader: Seek Failed %i: %i %i\n", static_cast<int>(offset), static_cast<int>(Tell()),
             std::ferror(m_file));
  }
}

void OxArchiveFileWriter::Flush() {
  if (m_file && std::fflush(m_file) != 0) SetError();
}

bool OxArchiveFileWriter::Close() {
  if (!m_file) return !HasError();
  Flush();
  if (m_owned) {
    if (std::fclose(m_file) != 0) {
      SetError();
      LogError("OxArchiveFileReader: fclose Failed: pError=%i\n", errno);
    }
    if (!m_deletePath.empty()) {
      std::error_code ignored;
      std::filesystem::remove(NativeFilesystemPath(m_deletePath), ignored);
    }
  }
  m_file = nullptr;
  return !HasError();
}

int64_t OxArchiveFileWriter::Tell() const { return m_file ? static_cast<int64_t>(ftello(m_file)) : -1; }

}  // namespace ox_base
