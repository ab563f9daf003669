#pragma once
// A stored file read in pieces of a MiB, for decoders that take their input
// as it comes.
#include <filesystem>
#include <functional>
#include <string_view>

// Hands every piece of the file to `read`; false when `read` refuses one
// or the file cannot be read to its end.
bool ReadPieces(const std::filesystem::path& file, const std::function<bool(std::string_view)>& read);
