#include "ui/pixel_buffer.h"

#include <algorithm>
#include <cstring>

namespace ui {
namespace {

std::uint32_t ToPixel(platform::Colour c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// Rows may start on any byte: the pixels are copied in and out, never cast.
void Put(const PixelBuffer& buffer, int x, int y, platform::Colour colour) {
  const std::uint32_t pixel = ToPixel(colour);
  std::memcpy(buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.stride + x * 4, &pixel, sizeof pixel);
}

std::uint32_t Get(const PixelBuffer& buffer, int x, int y) {
  std::uint32_t pixel;
  std::memcpy(&pixel, buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.stride + x * 4, sizeof pixel);
  return pixel;
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
  for (int y = area.top; y < area.bottom; ++y) {
    const int sy = sourceY + y - clip.OriginY() - dest.top;
    for (int x = area.left; x < area.right; ++x) {
      const int sx = sourceX + x - clip.OriginX() - dest.left;
      if (sx >= 0 && sy >= 0) {
        Put(buffer, x, y, image.PixelAt(sx, sy));
      }
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
  for (int y = area.top; y < area.bottom; ++y) {
    const int sy = source.top + SourceIndex(y - clip.OriginY() - dest.top, source.Height(), dest.Height());
    if (sy < 0 || sy >= image.height) {
      continue;
    }
    for (int x = area.left; x < area.right; ++x) {
      const int sx = source.left + SourceIndex(x - clip.OriginX() - dest.left, source.Width(), dest.Width());
      if (sx < 0 || sx >= image.width) {
        continue;
      }
      const platform::Colour colour = image.PixelAt(sx, sy);
      if (!transparent || colour != *transparent) {
        Put(buffer, x, y, colour);
      }
    }
  }
}

void FillPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& rect,
                platform::Colour colour) {
  const platform::Rect area = Writable(buffer, clip, rect);
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      Put(buffer, x, y, colour);
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
      const std::uint32_t pixel = Get(buffer, dx, dy);
      q[0] = (pixel >> 16) & 0xFF;
      q[1] = (pixel >> 8) & 0xFF;
      q[2] = pixel & 0xFF;
    }
  }
  return out;
}

}  // namespace ui
