#include <windows.h>
#include <io.h>

#include <algorithm>
#include <string>

#include "base/files/ox_file_handle.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {

FileHandle FileHandle::Open(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));  // ASCII letters only
  return FileHandle(_wfopen(WideFromUtf8(path).c_str(), wideMode.c_str()));
}

std::size_t FileHandle::ReadAt(std::int64_t position, void* data, std::size_t size) const {
  if (file_ == nullptr || position < 0) return 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
  char* bytes = static_cast<char*>(data);
  std::size_t total = 0;
  while (total < size) {
    // Each read names its offset, so threads sharing the file do not race
    // on a position (the handle's own position does move).
    OVERLAPPED at{};
    const std::uint64_t offset = static_cast<std::uint64_t>(position) + total;
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
    DWORD read = 0;
    if (!ReadFile(handle, bytes + total, want, &read, &at) || read == 0) break;
    total += read;
  }
  return total;
}

}  // namespace ox_base
