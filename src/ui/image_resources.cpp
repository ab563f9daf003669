#include "ui/image_resources.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "res/resources.h"
#include "ui/image_decoders.h"

namespace ui {

void LoadPngResource(int id, std::string_view type, platform::Bitmap& bitmap) {
  bitmap = platform::Bitmap{};
  const std::optional<res::ResourceBytes> bytes = res::FindResource(id, type);
  if (bytes) {
    bitmap = DecodePng(bytes->data, bytes->size);
  }
}

platform::Bitmap LoadBitmapResource(int id) {
  const std::optional<res::ResourceBytes> bytes = res::FindResource(id, res::kTypeBitmap);
  return bytes ? DecodeBmp(bytes->data, bytes->size) : platform::Bitmap{};
}

platform::Bitmap LoadBitmapFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return {};
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeBmp(bytes.data(), bytes.size());
}

int BitmapWidth(const platform::Bitmap& bitmap) { return bitmap.width; }

int BitmapHeight(const platform::Bitmap& bitmap) { return bitmap.height; }

}  // namespace ui
