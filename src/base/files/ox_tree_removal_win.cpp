#include <windows.h>

#include "base/files/ox_tree_removal.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {
namespace {

// Read-only entries go too, as unlink removes them on Linux.
bool RemoveEntry(const std::wstring& path, DWORD attributes, bool directory) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  return directory ? RemoveDirectoryW(path.c_str()) != 0 : DeleteFileW(path.c_str()) != 0;
}

bool EmptyDirectory(const std::wstring& directory) {
  WIN32_FIND_DATAW entry;
  HANDLE search =
      FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool emptied = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = directory + L"\\" + name;
    const DWORD attributes = entry.dwFileAttributes;
    const bool isDirectory = attributes & FILE_ATTRIBUTE_DIRECTORY;
    // A link or junction is removed itself; what it points at stays.
    const bool walk = isDirectory && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if ((walk && !EmptyDirectory(path)) || !RemoveEntry(path, attributes, isDirectory)) {
      emptied = false;
      break;
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return emptied;
}

}  // namespace

bool RemoveTree(const std::string& path) {
  std::wstring wide = WideFromUtf8(path);
  while (wide.size() > 1 && (wide.back() == L'/' || wide.back() == L'\\')) wide.pop_back();
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  return EmptyDirectory(wide) && RemoveEntry(wide, attributes, true);
}

}  // namespace ox_base
