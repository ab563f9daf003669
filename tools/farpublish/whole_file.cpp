#include "whole_file.h"

#include <fstream>
#include <iterator>

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) error = "cannot write " + path.string();
  return static_cast<bool>(out);
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.is_open() && !in.bad();
}
