#include "ui/image_decoders.h"

#include <png.h>

#include <cstring>
#include <limits>

namespace ui {

platform::Bitmap DecodePng(const std::uint8_t* data, std::size_t size) {
  platform::Bitmap bitmap;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    return bitmap;
  }
  const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return bitmap;
  }
  bitmap.width = static_cast<int>(image.width);
  bitmap.height = static_cast<int>(image.height);
  bitmap.hasAlpha = hasAlpha;
  bitmap.rgba = std::move(pixels);
  return bitmap;
}

namespace {

std::uint32_t ReadLe(const std::uint8_t* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | p[i];
  }
  return value;
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::int64_t kMaxPixels = 1 << 26;

}  // namespace

platform::Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size) {
  platform::Bitmap bitmap;
  if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') {
    return bitmap;
  }
  const std::uint32_t pixelOffset = ReadLe(data + 10, 4);
  const std::uint8_t* info = data + kFileHeaderSize;
  if (ReadLe(info, 4) < kInfoHeaderSize) {
    return bitmap;
  }
  const std::int32_t width = static_cast<std::int32_t>(ReadLe(info + 4, 4));
  const std::int32_t rawHeight = static_cast<std::int32_t>(ReadLe(info + 8, 4));
  const std::uint32_t bitsPerPixel = ReadLe(info + 14, 2);
  const std::uint32_t compression = ReadLe(info + 16, 4);
  const bool bottomUp = rawHeight > 0;
  if (width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<std::int32_t>::min()) {
    return bitmap;
  }
  const std::int64_t height = bottomUp ? rawHeight : -static_cast<std::int64_t>(rawHeight);
  if (static_cast<std::int64_t>(width) * height > kMaxPixels) {
    return bitmap;
  }
  const bool supported = (bitsPerPixel == 24 && compression == kCompressionNone) ||
                         (bitsPerPixel == 32 && (compression == kCompressionNone || compression == kCompressionBitFields));
  if (!supported) {
    return bitmap;
  }
  const std::size_t bytesPerPixel = bitsPerPixel / 8;
  const std::size_t stride = (width * bytesPerPixel + 3) & ~std::size_t{3};
  if (pixelOffset > size || (size - pixelOffset) / stride < static_cast<std::size_t>(height)) {
    return bitmap;
  }
  bitmap.width = width;
  bitmap.height = static_cast<int>(height);
  bitmap.rgba.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < bitmap.height; ++y) {
    const int sourceRow = bottomUp ? bitmap.height - 1 - y : y;
    const std::uint8_t* row = data + pixelOffset + stride * sourceRow;
    std::uint8_t* out = &bitmap.rgba[static_cast<std::size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row + x * bytesPerPixel;
      out[x * 4 + 0] = p[2];
      out[x * 4 + 1] = p[1];
      out[x * 4 + 2] = p[0];
      out[x * 4 + 3] = 255;
    }
  }
  return bitmap;
}

}  // namespace ui
