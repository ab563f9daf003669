#include "ui/pixel_buffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ui {
namespace {

std::uint32_t ToPixel(platform::Colour c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

std::uint32_t ToPixel(const std::uint8_t* rgba) {
  return (static_cast<std::uint32_t>(rgba[0]) << 16) | (rgba[1] << 8) | rgba[2];
}

// Rows may start on any byte: the pixels are copied in and out, never cast.
void Store(unsigned char* at, std::uint32_t pixel) { std::memcpy(at, &pixel, sizeof pixel); }

unsigned char* Row(const PixelBuffer& buffer, int y) {
  return buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.stride;
}

const std::uint8_t* ImageRow(const platform::Bitmap& image, int y) {
  return &image.rgba[static_cast<std::size_t>(y) * image.width * 4];
}

// The part of a logical rectangle that drawing may touch, in device
// coordinates, kept on the surface.
platform::Rect Writable(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& logical) {
  const platform::Rect visible = clip.Visible(logical);
  if (buffer.pixels == nullptr) {
    return {};
  }
  return {std::max(visible.left, 0), std::max(visible.top, 0), std::min(visible.right, buffer.width),
          std::min(visible.bottom, buffer.height)};
}

// The source pixel a scaled picture shows at destination offset `d`.
int SourceIndex(int d, int sourceLength, int destLength) {
  const long long numerator = (2LL * d + 1) * sourceLength;
  const long long denominator = 2LL * destLength;
  return static_cast<int>((numerator + denominator - 1) / denominator - 1);
}

}  // namespace

void CopyPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Bitmap& image, int sourceX,
                int sourceY, const platform::Rect& dest) {
  if (image.Empty()) {
    return;
  }
  // Only the part of `dest` that the image covers is touched.
  const platform::Rect covered{dest.left, dest.top, dest.left + std::min(dest.Width(), image.width - sourceX),
                               dest.top + std::min(dest.Height(), image.height - sourceY)};
  const platform::Rect area = Writable(buffer, clip, covered);
  // Device x and y that show the image's column and row 0.
  const int imageLeft = clip.OriginX() + dest.left - sourceX;
  const int imageTop = clip.OriginY() + dest.top - sourceY;
  const int left = std::max(area.left, imageLeft);
  for (int y = std::max(area.top, imageTop); y < area.bottom; ++y) {
    const std::uint8_t* from = ImageRow(image, y - imageTop) + static_cast<std::size_t>(left - imageLeft) * 4;
    unsigned char* to = Row(buffer, y) + static_cast<std::ptrdiff_t>(left) * 4;
    for (int x = left; x < area.right; ++x, from += 4, to += 4) {
      Store(to, ToPixel(from));
    }
  }
}

void StretchPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Bitmap& image,
                   const platform::Rect& source, const platform::Rect& dest,
                   std::optional<platform::Colour> transparent) {
  if (image.Empty() || source.Width() <= 0 || source.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0) {
    return;
  }
  const platform::Rect area = Writable(buffer, clip, dest);
  if (area.left >= area.right) {
    return;
  }
  // Every row maps its columns alike: the source column of each, or -1
  // where it falls off the image.
  std::vector<int> columns(static_cast<std::size_t>(area.right - area.left));
  for (int x = area.left; x < area.right; ++x) {
    const int sx = source.left + SourceIndex(x - clip.OriginX() - dest.left, source.Width(), dest.Width());
    columns[x - area.left] = sx >= 0 && sx < image.width ? sx : -1;
  }
  const std::uint32_t key = transparent ? ToPixel(*transparent) : 0;
  for (int y = area.top; y < area.bottom; ++y) {
    const int sy = source.top + SourceIndex(y - clip.OriginY() - dest.top, source.Height(), dest.Height());
    if (sy < 0 || sy >= image.height) {
      continue;
    }
    const std::uint8_t* from = ImageRow(image, sy);
    unsigned char* to = Row(buffer, y) + static_cast<std::ptrdiff_t>(area.left) * 4;
    for (const int sx : columns) {
      if (sx >= 0) {
        const std::uint32_t pixel = ToPixel(from + static_cast<std::size_t>(sx) * 4);
        if (!transparent || pixel != key) {
          Store(to, pixel);
        }
      }
      to += 4;
    }
  }
}

void FillPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& rect,
                platform::Colour colour) {
  const platform::Rect area = Writable(buffer, clip, rect);
  const std::uint32_t pixel = ToPixel(colour);
  for (int y = area.top; y < area.bottom; ++y) {
    unsigned char* to = Row(buffer, y) + static_cast<std::ptrdiff_t>(area.left) * 4;
    for (int x = area.left; x < area.right; ++x, to += 4) {
      Store(to, pixel);
    }
  }
}

platform::Bitmap SnapshotPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& rect) {
  platform::Bitmap out;
  out.width = std::max(0, rect.Width());
  out.height = std::max(0, rect.Height());
  out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      std::uint8_t* q = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
      q[3] = 255;
      const int dx = rect.left + x + clip.OriginX();
      const int dy = rect.top + y + clip.OriginY();
      if (buffer.pixels == nullptr || dx < 0 || dy < 0 || dx >= buffer.width || dy >= buffer.height) {
        continue;
      }
      std::uint32_t pixel;
      std::memcpy(&pixel, Row(buffer, dy) + static_cast<std::ptrdiff_t>(dx) * 4, sizeof pixel);
      q[0] = (pixel >> 16) & 0xFF;
      q[1] = (pixel >> 8) & 0xFF;
      q[2] = pixel & 0xFF;
    }
  }
  return out;
}

}  // namespace ui
