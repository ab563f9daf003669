#pragma once
// Small files of the site (the document, its signature, manifests) read
// and written in one piece.
#include <filesystem>
#include <string>

// False with the reason when the file cannot be written.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes, std::string& error);

// False when the file cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);
