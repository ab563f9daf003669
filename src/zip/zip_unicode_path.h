#pragma once
// The Info-ZIP Unicode path field (id 0x7075): archivers that store a name
// in a legacy code page add its UTF-8 form, tied to the stored name by the
// stored name's CRC-32.
#include <cstddef>
#include <optional>
#include <string>

// The UTF-8 name the extra field carries for `storedName` (the name's bytes
// as the header holds them); none without such a field, or when the field
// is of an unknown version, cut short, or was written for another name (an
// archiver renamed the entry without updating it).
std::optional<std::string> UnicodePath(const unsigned char* extra, std::size_t length, const std::string& storedName);
