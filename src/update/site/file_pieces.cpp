#include "update/site/file_pieces.h"

#include <fstream>
#include <string>

namespace {

constexpr std::size_t kPiece = 1 << 20;

}  // namespace

bool ReadPieces(const std::filesystem::path& file, const std::function<bool(std::string_view)>& read) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string piece(kPiece, '\0');
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    if (!read(std::string_view(piece.data(), static_cast<std::size_t>(in.gcount())))) return false;
  }
  return in.eof();
}
