#include <windows.h>

#include <algorithm>

#include "base/files/ox_large_file.h"
#include "base/text/ox_wide_text_win.h"

namespace ox_base {
namespace {

struct Handle {
  HANDLE value;
  ~Handle() {
    if (value != INVALID_HANDLE_VALUE) CloseHandle(value);
  }
};

// ReadFile counts in 32 bits.
constexpr std::size_t kLargestRead = std::size_t{1} << 30;

}  // namespace

bool ReadLargeFile(const std::string& native, std::uint64_t largest, FileBytes& bytes) {
  const std::wstring wide = WideFromUtf8(native);
  if (wide.empty()) return false;
  const Handle file{CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
  LARGE_INTEGER total;
  if (file.value == INVALID_HANDLE_VALUE || GetFileType(file.value) != FILE_TYPE_DISK ||
      !GetFileSizeEx(file.value, &total) || static_cast<std::uint64_t>(total.QuadPart) > largest) {
    return false;
  }
  const auto size = static_cast<std::size_t>(total.QuadPart);
  std::unique_ptr<char[]> data(new char[size == 0 ? 1 : size]);
  for (std::size_t done = 0; done < size;) {
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min(size - done, kLargestRead));
    if (!ReadFile(file.value, data.get() + done, wanted, &read, nullptr) || read == 0) return false;
    done += read;
  }
  bytes.data = std::move(data);
  bytes.size = size;
  return true;
}

}  // namespace ox_base
