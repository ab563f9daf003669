#pragma once
// Opening files by native name, one implementation per platform; the rules
// of OxFile::OpenRead and OpenWrite around them are shared.
#include <cstdio>
#include <string>

namespace ox_base {

// The file opened for reading; null when it cannot be, or is a folder.
std::FILE* OpenNativeForReading(const std::string& native);

// The file opened for writing (appending or truncated, by `flags`), created
// when missing, and locked: a second writer fails, readers do not. A file
// this call created is removed again when the open then fails. Null on
// failure; `refusedAsExisting` tells a refusal of OX_WRITE_NEW_ONLY.
std::FILE* OpenNativeForWriting(const std::string& native, unsigned flags, bool& refusedAsExisting);

}  // namespace ox_base
