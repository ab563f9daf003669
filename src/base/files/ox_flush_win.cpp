#include "base/files/ox_flush.h"

#include <windows.h>

#include "base/text/ox_wide_text_win.h"

namespace ox_base {

bool FlushFile(const std::string& path) {
  // FlushFileBuffers needs a handle opened for writing.
  const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  return CloseHandle(file) != 0 && flushed;
}

// NTFS journals its folder entries, and the renames that matter are made
// with MOVEFILE_WRITE_THROUGH; a folder cannot be flushed there.
bool FlushFolderOf(const std::string&) { return true; }

}  // namespace ox_base
