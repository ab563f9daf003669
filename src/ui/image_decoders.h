#pragma once
// Decoding of the two image file formats the launcher's skin uses.
#include <cstddef>
#include <cstdint>

#include "platform/canvas.h"

namespace ui {

// A PNG file in memory; an empty bitmap when it is not a decodable PNG.
platform::Bitmap DecodePng(const std::uint8_t* data, std::size_t size);

// A Windows BMP file in memory (uncompressed 24 or 32 bits per pixel, rows
// bottom-up or top-down); an empty bitmap for anything else.
platform::Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size);

}  // namespace ui
