#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "base/files/ox_atomic_save.h"
#include "base/text/ox_wide_text_win.h"
#include "base/diagnostics/ox_windows_error_win.h"

namespace ox_base {
namespace {

std::string LastErrorText() { return WindowsErrorText(GetLastError()); }

// A name beside `target` no other save uses at the same time.
std::wstring TemporaryName(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".saving";
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + done, piece, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

}  // namespace

bool SaveAtomically(const std::string& path, const std::string& bytes, bool force, std::string& reason) {
  const std::wstring target = WideFromUtf8(path);
  if (target.empty()) {
    reason = "its name has no form on this system";
    return false;
  }
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      reason = "it is not a file";
      return false;
    }
    // Forcing clears the read-only attribute, as opening with
    // OX_WRITE_FORCE does.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      if (!force || !SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        reason = "it is read-only";
        return false;
      }
    }
  }

  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  do {
    temporary = TemporaryName(target);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  } while (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
  if (file == INVALID_HANDLE_VALUE) {
    reason = "no file can be created beside it: " + LastErrorText();
    return false;
  }
  // On the disk before the rename, so a crash leaves the old or the new
  // content, never a truncated file.
  bool saved = WriteAll(file, bytes) && FlushFileBuffers(file);
  if (!saved) reason = "writing failed: " + LastErrorText();
  CloseHandle(file);
  if (saved && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    saved = false;
    reason = "it cannot be replaced: " + LastErrorText();
  }
  if (!saved) DeleteFileW(temporary.c_str());
  return saved;
}

}  // namespace ox_base
