#include <windows.h>

#include "base/ox_large_file.h"
#include "base/ox_wide_text_win.h"

namespace ox_base {
namespace {

struct Handle {
  HANDLE value;
  ~Handle() {
    if (value != nullptr && value != INVALID_HANDLE_VALUE) CloseHandle(value);
  }
};

struct View {
  const void* address;
  ~View() {
    if (address != nullptr) UnmapViewOfFile(address);
  }
};

}  // namespace

bool ReadLargeFile(const std::string& native, std::uint64_t largest, std::string& bytes) {
  const std::wstring wide = WideFromUtf8(native);
  if (wide.empty()) return false;
  const Handle file{CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  LARGE_INTEGER size;
  if (file.value == INVALID_HANDLE_VALUE || GetFileType(file.value) != FILE_TYPE_DISK ||
      !GetFileSizeEx(file.value, &size) || static_cast<std::uint64_t>(size.QuadPart) > largest) {
    return false;
  }
  if (size.QuadPart == 0) {
    bytes.clear();
    return true;
  }
  // The system keeps a mapped file from being cut short while it is copied.
  const Handle mapping{CreateFileMappingW(file.value, nullptr, PAGE_READONLY, 0, 0, nullptr)};
  if (mapping.value == nullptr) return false;
  const View view{MapViewOfFile(mapping.value, FILE_MAP_READ, 0, 0, 0)};
  if (view.address == nullptr) return false;
  bytes.assign(static_cast<const char*>(view.address), static_cast<std::size_t>(size.QuadPart));
  return true;
}

}  // namespace ox_base
