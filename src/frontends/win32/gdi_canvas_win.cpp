#include "frontends/win32/gdi_canvas_win.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frontends/win32/win32_text_win.h"

namespace frontends::win32 {
namespace {

constexpr platform::Colour kDefaultBackground = platform::Rgb(255, 255, 255);
// A font of height 0 is drawn as the cairo canvas draws it.
constexpr int kDefaultCellHeight = 12;

std::uint32_t ToPixel(platform::Colour c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

platform::Colour FromPixel(std::uint32_t p) { return platform::Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

// The source pixel a scaled picture shows at destination offset `d`: the one
// under the destination pixel's centre, a centre on a boundary taking the
// pixel before it (as cairo's nearest filter does).
int SourceIndex(int d, int sourceLength, int destLength) {
  const long long numerator = (2LL * d + 1) * sourceLength;
  const long long denominator = 2LL * destLength;
  return static_cast<int>((numerator + denominator - 1) / denominator - 1);
}

}  // namespace

GdiCanvas::GdiCanvas(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), dc_(CreateCompatibleDC(nullptr)),
      clip_(width_, height_) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || bits == nullptr) {
    // Out of GDI memory: an empty surface, which every drawing call leaves
    // alone, rather than pixels written through a null pointer.
    width_ = 0;
    height_ = 0;
    clip_ = ui::CanvasClip(0, 0);
  } else {
    bits_ = static_cast<std::uint32_t*>(bits);
    initialBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    std::fill_n(bits_, static_cast<std::size_t>(width_) * height_, ToPixel(kDefaultBackground));
  }
  initialFont_ = GetCurrentObject(dc_.get(), OBJ_FONT);
  SetBkMode(dc_.get(), TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
  // The DC lets go of the bitmap and font before they are deleted.
  if (initialBitmap_ != nullptr) {
    SelectObject(dc_.get(), initialBitmap_);
  }
  SelectObject(dc_.get(), initialFont_);
}

void GdiCanvas::SetOrigin(int x, int y) { clip_.SetOrigin(x, y); }

void GdiCanvas::ApplyClip() {
  const platform::Rect& c = clip_.Device();
  const GdiObject<HRGN> region(CreateRectRgn(c.left, c.top, std::max(c.left, c.right), std::max(c.top, c.bottom)));
  SelectClipRgn(dc_.get(), region.get());
}

void GdiCanvas::PushClip(const platform::Rect& rect) {
  clip_.Push(rect);
  ApplyClip();
}

void GdiCanvas::PopClip() {
  clip_.Pop();
  ApplyClip();
}

platform::Rect GdiCanvas::ClipBox() { return clip_.Logical(); }

void GdiCanvas::CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) {
  if (image.Empty()) {
    return;
  }
  // Only the part of `dest` that the image covers is touched.
  const platform::Rect covered{dest.left, dest.top, dest.left + std::min(dest.Width(), image.width - sourceX),
                               dest.top + std::min(dest.Height(), image.height - sourceY)};
  const platform::Rect area = clip_.Visible(covered);
  GdiFlush();
  for (int y = area.top; y < area.bottom; ++y) {
    const int sy = sourceY + y - clip_.OriginY() - dest.top;
    for (int x = area.left; x < area.right; ++x) {
      const int sx = sourceX + x - clip_.OriginX() - dest.left;
      if (sx >= 0 && sy >= 0) {
        Pixel(x, y) = ToPixel(image.PixelAt(sx, sy));
      }
    }
  }
}

void GdiCanvas::StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                             std::optional<platform::Colour> transparent) {
  if (image.Empty() || source.Width() <= 0 || source.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0) {
    return;
  }
  const platform::Rect area = clip_.Visible(dest);
  GdiFlush();
  for (int y = area.top; y < area.bottom; ++y) {
    const int sy = source.top + SourceIndex(y - clip_.OriginY() - dest.top, source.Height(), dest.Height());
    if (sy < 0 || sy >= image.height) {
      continue;
    }
    for (int x = area.left; x < area.right; ++x) {
      const int sx = source.left + SourceIndex(x - clip_.OriginX() - dest.left, source.Width(), dest.Width());
      if (sx < 0 || sx >= image.width) {
        continue;
      }
      const platform::Colour colour = image.PixelAt(sx, sy);
      if (!transparent || colour != *transparent) {
        Pixel(x, y) = ToPixel(colour);
      }
    }
  }
}

void GdiCanvas::Fill(const platform::Rect& rect, platform::Colour colour) {
  const platform::Rect area = clip_.Visible(rect);
  const std::uint32_t pixel = ToPixel(colour);
  GdiFlush();
  for (int y = area.top; y < area.bottom; ++y) {
    std::fill(&Pixel(area.left, y), &Pixel(area.left, y) + std::max(0, area.Width()), pixel);
  }
}

platform::Colour GdiCanvas::BackgroundColour() { return kDefaultBackground; }

HFONT GdiCanvas::FontFor(const platform::Font& font) {
  auto key = std::make_tuple(font.face, font.height, font.weight);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) {
    return found->second.get();
  }
  LOGFONTW description{};
  // A positive height asks for the cell height, as the font's height means.
  description.lfHeight = font.height != 0 ? std::abs(font.height) : kDefaultCellHeight;
  description.lfWeight = std::clamp(font.weight, 0, 1000);
  // The launcher's texts are Chinese: where the face is missing, GDI then
  // picks a font with those glyphs.
  description.lfCharSet = GB2312_CHARSET;
  description.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring face = WideText(font.face).substr(0, LF_FACESIZE - 1);
  std::copy(face.begin(), face.end(), description.lfFaceName);
  return (fonts_[std::move(key)] = GdiObject<HFONT>(CreateFontIndirectW(&description))).get();
}

int GdiCanvas::TextWidth(const platform::Font& font, const std::string& text) {
  SelectObject(dc_.get(), FontFor(font));
  const std::wstring wide = WideText(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_.get(), wide.data(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

int GdiCanvas::LineHeight(const platform::Font& font) {
  SelectObject(dc_.get(), FontFor(font));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc_.get(), &metrics);
  return metrics.tmHeight;
}

void GdiCanvas::DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                           const std::string& text, platform::TextAlign align, bool verticalCentre) {
  const int width = TextWidth(font, text);  // also selects the font
  const int height = LineHeight(font);
  int x = rect.left;
  if (align == platform::TextAlign::Centre) {
    x += (rect.Width() - width) / 2;
  } else if (align == platform::TextAlign::Right) {
    x = rect.right - width;
  }
  const int y = verticalCentre ? rect.top + (rect.Height() - height) / 2 : rect.top;
  const std::wstring wide = WideText(text);
  const int dx = clip_.OriginX();
  const int dy = clip_.OriginY();
  const int saved = SaveDC(dc_.get());
  IntersectClipRect(dc_.get(), rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy);
  SetTextColor(dc_.get(), colour);
  ExtTextOutW(dc_.get(), x + dx, y + dy, 0, nullptr, wide.data(), static_cast<UINT>(wide.size()), nullptr);
  RestoreDC(dc_.get(), saved);
}

platform::Bitmap GdiCanvas::Snapshot(const platform::Rect& rect) {
  platform::Bitmap out;
  out.width = std::max(0, rect.Width());
  out.height = std::max(0, rect.Height());
  out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
  GdiFlush();
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      std::uint8_t* q = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
      q[3] = 255;
      const int dx = rect.left + x + clip_.OriginX();
      const int dy = rect.top + y + clip_.OriginY();
      if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) {
        continue;
      }
      const platform::Colour c = FromPixel(Pixel(dx, dy));
      q[0] = c & 0xFF;
      q[1] = (c >> 8) & 0xFF;
      q[2] = (c >> 16) & 0xFF;
    }
  }
  return out;
}

std::unique_ptr<platform::Canvas> GdiCanvas::CreateSurface(int width, int height) {
  return std::make_unique<GdiCanvas>(width, height);
}

}  // namespace frontends::win32
