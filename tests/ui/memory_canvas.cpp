#include "ui/memory_canvas.h"

#include <algorithm>

#include "ui/text_layout.h"

namespace testing_canvas {

MemoryCanvas::MemoryCanvas(int width, int height, platform::Colour fill) {
  pixels_.width = width;
  pixels_.height = height;
  pixels_.rgba.resize(static_cast<std::size_t>(width) * height * 4);
  clips_.push_back({0, 0, width, height});
  Fill({0, 0, width, height}, fill);
}

void MemoryCanvas::SetOrigin(int x, int y) {
  originX_ = x;
  originY_ = y;
}

void MemoryCanvas::PushClip(const platform::Rect& rect) {
  const platform::Rect& current = clips_.back();
  clips_.push_back({std::max(current.left, rect.left + originX_), std::max(current.top, rect.top + originY_),
                    std::min(current.right, rect.right + originX_), std::min(current.bottom, rect.bottom + originY_)});
}

void MemoryCanvas::PopClip() { clips_.pop_back(); }

platform::Rect MemoryCanvas::ClipBox() {
  const platform::Rect& c = clips_.back();
  return {c.left - originX_, c.top - originY_, c.right - originX_, c.bottom - originY_};
}

void MemoryCanvas::Put(int x, int y, platform::Colour colour) {
  x += originX_;
  y += originY_;
  const platform::Rect& c = clips_.back();
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) {
    return;
  }
  std::uint8_t* p = &pixels_.rgba[(static_cast<std::size_t>(y) * pixels_.width + x) * 4];
  p[0] = colour & 0xFF;
  p[1] = (colour >> 8) & 0xFF;
  p[2] = (colour >> 16) & 0xFF;
  p[3] = 255;
}

void MemoryCanvas::CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) {
  for (int y = dest.top; y < dest.bottom; ++y) {
    for (int x = dest.left; x < dest.right; ++x) {
      const int sx = sourceX + x - dest.left;
      const int sy = sourceY + y - dest.top;
      if (sx >= 0 && sy >= 0 && sx < image.width && sy < image.height) {
        Put(x, y, image.PixelAt(sx, sy));
      }
    }
  }
}

void MemoryCanvas::StretchImage(const platform::Bitmap& image, const platform::Rect& source,
                                const platform::Rect& dest, std::optional<platform::Colour> transparent) {
  for (int y = dest.top; y < dest.bottom; ++y) {
    for (int x = dest.left; x < dest.right; ++x) {
      const int sx = source.left + (x - dest.left) * source.Width() / dest.Width();
      const int sy = source.top + (y - dest.top) * source.Height() / dest.Height();
      const platform::Colour colour = image.PixelAt(sx, sy);
      if (!transparent || colour != *transparent) {
        Put(x, y, colour);
      }
    }
  }
}

void MemoryCanvas::Fill(const platform::Rect& rect, platform::Colour colour) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      Put(x, y, colour);
    }
  }
}

int MemoryCanvas::TextWidth(const platform::Font&, const std::string& text) {
  return static_cast<int>(text.size()) * kGlyphWidth;
}

int MemoryCanvas::LineHeight(const platform::Font& font) { return font.height; }

void MemoryCanvas::DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                            const std::string& text, platform::TextAlign align, bool verticalCentre) {
  const int width = TextWidth(font, text);
  const ui::LineStart start = ui::PlaceLine(rect, width, font.height, align, verticalCentre);
  int x = start.x;
  const int top = start.y;
  for (std::size_t i = 0; i < text.size(); i += ui::CharLength(text, i)) {
    const int cell = static_cast<int>(ui::CharLength(text, i)) * kGlyphWidth;
    if (text[i] != ' ') {
      Fill({x, top, x + cell - 1, top + font.height}, colour);
    }
    x += cell;
  }
}

platform::Bitmap MemoryCanvas::Snapshot(const platform::Rect& rect) {
  platform::Bitmap out;
  out.width = rect.Width();
  out.height = rect.Height();
  out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const int dx = rect.left + x + originX_;
      const int dy = rect.top + y + originY_;
      std::uint8_t* q = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
      q[3] = 255;
      if (dx >= 0 && dy >= 0 && dx < pixels_.width && dy < pixels_.height) {
        std::copy_n(&pixels_.rgba[(static_cast<std::size_t>(dy) * pixels_.width + dx) * 4], 3, q);
      }
    }
  }
  return out;
}

std::unique_ptr<platform::Canvas> MemoryCanvas::CreateSurface(int width, int height) {
  return std::make_unique<MemoryCanvas>(width, height);
}

}  // namespace testing_canvas
