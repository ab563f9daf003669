#pragma once
// Reading a large file whole (the installed file a delta starts from) in one
// pass: the file is mapped and copied into the string once, instead of the
// string being filled with zeros first and then read into.
#include <cstdint>
#include <string>

namespace ox_base {

// False when the file (by native name) cannot be opened or read, is no
// regular file, or holds more than `largest` bytes.
bool ReadLargeFile(const std::string& native, std::uint64_t largest, std::string& bytes);

}  // namespace ox_base
