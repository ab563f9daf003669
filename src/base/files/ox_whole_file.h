#pragma once
// Reading a small file (a record, a manifest) whole, by native name.
#include <string>

namespace ox_base {

// False when the file cannot be opened or read to its end.
bool ReadWholeFile(const std::string& native, std::string& bytes);

}  // namespace ox_base
