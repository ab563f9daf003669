#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/files/ox_output_file.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {
namespace {

std::string SystemError(int error) { return std::error_code(error, std::generic_category()).message(); }

int CreateExclusive(const std::wstring& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

HANDLE SystemHandle(int descriptor) { return reinterpret_cast<HANDLE>(_get_osfhandle(descriptor)); }

void SetReadOnly(int descriptor, bool readOnly) {
  FILE_BASIC_INFO info{};
  const HANDLE file = SystemHandle(descriptor);
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof(info))) return;
  const DWORD attributes = readOnly ? (info.FileAttributes | FILE_ATTRIBUTE_READONLY)
                                    : (info.FileAttributes & ~FILE_ATTRIBUTE_READONLY);
  info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof(info));
}

}  // namespace

OutputFile OutputFile::Create(const std::string& path, std::string& problem) {
  const std::wstring wide = WideFromUtf8(path);
  if (wide.empty()) {
    problem = SystemError(EINVAL);
    return OutputFile();
  }
  // One call for a new name, the usual case when unpacking.
  int descriptor = CreateExclusive(wide);
  if (descriptor < 0 && errno == EEXIST) {
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      errno = EISDIR;
    } else {
      // A read-only file is removed as on Linux, where the folder decides.
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
      if (DeleteFileW(wide.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) descriptor = CreateExclusive(wide);
      else errno = EACCES;
    }
  }
  if (descriptor < 0) {
    problem = SystemError(errno);
    return OutputFile();
  }
  return OutputFile(descriptor);
}

void OutputFile::SetLastWriteTime(std::int64_t unixSeconds) {
  // 100 ns steps since 1601.
  const std::uint64_t ticks = static_cast<std::uint64_t>(unixSeconds + 11644473600ll) * 10000000ull;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  SetFileTime(SystemHandle(descriptor_), nullptr, nullptr, &time);
}

// Windows keeps one permission bit: the owner's write bit is the read-only
// attribute.
void OutputFile::SetPermissions(unsigned mode) { SetReadOnly(descriptor_, !(mode & 0200u)); }

void OutputFile::RemoveWritePermission() { SetReadOnly(descriptor_, true); }

int OutputFile::CloseDescriptor(int descriptor) { return _close(descriptor); }

long OutputFile::WriteSome(int descriptor, const char* bytes, std::size_t size) {
  return _write(descriptor, bytes, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

}  // namespace ox_base
