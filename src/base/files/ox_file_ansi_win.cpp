#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "base/init/ox_base.h"
#include "base/files/ox_file_ansi.h"
#include "base/log/ox_log.h"
#include "base/files/ox_native_file.h"
#include "base/files/ox_path.h"
#include "base/files/ox_tree_removal.h"
#include "base/text/ox_wide_text_win.h"
#include "base/files/ox_wildcard.h"

namespace ox_base {
namespace {

std::wstring WidePath(const std::string& path) { return WideFromUtf8(NativePath(path)); }

bool ReadAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  const std::wstring wide = WidePath(path);
  return !wide.empty() && GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data);
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Seconds since 1970 of a FILETIME (100 ns steps since 1601).
int64_t UnixSeconds(const FILETIME& time) {
  const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ull) - 11644473600ll;
}

// Opens `wide` for writing, creating it when missing; `created` tells
// whether this call made the file. Others may read it meanwhile, but no
// second writer opens it: the lock of the Linux build, held by the system.
HANDLE OpenForWriting(const std::wstring& wide, unsigned flags, bool& created) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_DELETE;
  for (;;) {
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    created = file != INVALID_HANDLE_VALUE;
    if (created || GetLastError() != ERROR_FILE_EXISTS || (flags & OX_WRITE_NEW_ONLY)) return file;
    file = CreateFileW(wide.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Removed in between: try creating it again.
    if (file != INVALID_HANDLE_VALUE || !IsMissing(GetLastError())) return file;
  }
}

}  // namespace

std::FILE* OpenNativeForReading(const std::string& native) {
  const std::wstring wide = WideFromUtf8(native);
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return nullptr;
  return _wfopen(wide.c_str(), L"rb");
}

std::FILE* OpenNativeForWriting(const std::string& native, unsigned flags, bool& refusedAsExisting) {
  const std::wstring wide = WideFromUtf8(native);
  bool created = false;
  HANDLE handle = wide.empty() ? INVALID_HANDLE_VALUE : OpenForWriting(wide, flags, created);
  if (handle == INVALID_HANDLE_VALUE) {
    refusedAsExisting = (flags & OX_WRITE_NEW_ONLY) && GetLastError() == ERROR_FILE_EXISTS;
    return nullptr;
  }
  const bool append = flags & OX_WRITE_APPEND;
  std::FILE* file = nullptr;
  if (append || SetEndOfFile(handle)) {
    const int descriptor =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY | (append ? _O_APPEND : 0));
    if (descriptor >= 0) {
      handle = INVALID_HANDLE_VALUE;  // the descriptor owns it now
      file = _fdopen(descriptor, append ? "ab" : "wb");
      if (!file) _close(descriptor);
    }
  }
  if (!file) {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    // An empty file that nobody asked for is not left behind.
    if (created) DeleteFileW(wide.c_str());
  }
  return file;
}

bool OxFileAnsi::SetWritable(const std::string& path, unsigned flags) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD changed = (flags & OX_ATTR_WRITABLE) ? (attributes & ~FILE_ATTRIBUTE_READONLY)
                                                   : (attributes | FILE_ATTRIBUTE_READONLY);
  return changed == attributes || SetFileAttributesW(wide.c_str(), changed);
}

unsigned OxFileAnsi::GetAttributes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!ReadAttributes(path, data)) return 0;
  const unsigned writable = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0u : unsigned{OX_ATTR_WRITABLE};
  return OX_ATTR_READABLE | writable;
}

bool OxFileAnsi::Exists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ReadAttributes(path, data);
}

bool OxFileAnsi::Delete(const std::string& path, bool mustExist, bool force) {
  const std::wstring wide = WidePath(path);
  if (wide.empty()) return false;
  if (force) SetWritable(path, OX_ATTR_WRITABLE);
  if (DeleteFileW(wide.c_str())) return true;
  return IsMissing(GetLastError()) && !mustExist;
}

int64_t OxFileAnsi::GetCreationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ReadAttributes(path, data) ? UnixSeconds(data.ftCreationTime) : -1;
}

int64_t OxFileAnsi::GetAccessTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ReadAttributes(path, data) ? UnixSeconds(data.ftLastAccessTime) : -1;
}

int64_t OxFileAnsi::GetModifyTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return ReadAttributes(path, data) ? UnixSeconds(data.ftLastWriteTime) : -1;
}

bool OxFileAnsi::MakeDirectory(const std::string& path, bool tree) {
  if (tree) return OxFile::MakeDirectory(path, true);
  const std::wstring wide = WidePath(path);
  if (wide.empty()) return false;
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OxFileAnsi::DeleteDirectory(const std::string& path, bool mustExist, bool tree) {
  const std::string native = NativePath(path);
  const std::wstring wide = WideFromUtf8(native);
  if (wide.empty()) return false;
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError()) && !mustExist;
  return tree ? RemoveTree(native) : RemoveDirectoryW(wide.c_str()) != 0;
}

void OxFileAnsi::FindFiles(std::vector<std::string>& list, const std::string& pattern, bool files,
                           bool directories) {
  list.clear();
  // The system's own patterns differ ("*.*", short names): every entry is
  // listed and matched here, as on Linux.
  std::string folder, last;
  if (!SplitFindPattern(pattern, folder, last)) return;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileExW(WideFromUtf8(folder + "*").c_str(), FindExInfoBasic, &entry,
                                   FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8FromWide(entry.cFileName);
    if (name.empty() || name == "." || name == ".." || !MatchWildcard(last.c_str(), name.c_str())) continue;
    // A link is an entry of its own, never a directory: a tree removal must
    // delete the link, not walk into what it points at.
    const bool isDirectory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                             !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!(isDirectory ? directories : files)) continue;
    if (std::optional<std::string> found = NameFromNative(name)) {
      list.push_back(*found);
    } else if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) {
      log->Error("OxFile: %s%s left out: its name is no text of the code page\n", folder.c_str(), name.c_str());
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

bool OxFileAnsi::SetWorkingDirectory(const std::string& path) {
  const std::wstring wide = WidePath(path);
  return !wide.empty() && SetCurrentDirectoryW(wide.c_str());
}

std::string OxFileAnsi::GetWorkingDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return std::string();
  std::wstring wide(length, L'\0');
  wide.resize(GetCurrentDirectoryW(length, wide.data()));
  return NameFromNative(Utf8FromWide(wide)).value_or(std::string());
}

}  // namespace ox_base
