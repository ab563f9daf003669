#pragma once
// Reading a large file whole (the installed file a delta starts from) in one
// pass into memory of its own that is not zeroed first: a string would be
// filled with zeros before the read, a pass over the whole file for nothing.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ox_base {

struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;

  std::string_view View() const { return {data.get(), size}; }
};

// False when the file (by native name) cannot be opened or read to the end
// it had when opened, is no regular file, or holds more than `largest`
// bytes.
bool ReadLargeFile(const std::string& native, std::uint64_t largest, FileBytes& bytes);

}  // namespace ox_base
