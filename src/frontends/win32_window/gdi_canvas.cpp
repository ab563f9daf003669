#include "frontends/win32_window/gdi_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frontends/win32_window/text.h"
#include "ui/text_layout.h"

namespace frontends::win32_window {
namespace {

constexpr platform::Colour kDefaultBackground = platform::Rgb(255, 255, 255);
// A font of height 0 is drawn as the cairo canvas draws it.
constexpr int kDefaultCellHeight = 12;

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
    bits_ = static_cast<unsigned char*>(bits);
    initialBitmap_ = SelectObject(dc_.get(), bitmap_.get());
    ui::FillPixels(Pixels(), clip_, {0, 0, width_, height_}, kDefaultBackground);
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
  GdiFlush();
  ui::CopyPixels(Pixels(), clip_, image, sourceX, sourceY, dest);
}

void GdiCanvas::StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                             std::optional<platform::Colour> transparent) {
  GdiFlush();
  ui::StretchPixels(Pixels(), clip_, image, source, dest, transparent);
}

void GdiCanvas::Fill(const platform::Rect& rect, platform::Colour colour) {
  GdiFlush();
  ui::FillPixels(Pixels(), clip_, rect, colour);
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
  const ui::LineStart start = ui::PlaceLine(rect, width, height, align, verticalCentre);
  const std::wstring wide = WideText(text);
  const int dx = clip_.OriginX();
  const int dy = clip_.OriginY();
  const int saved = SaveDC(dc_.get());
  IntersectClipRect(dc_.get(), rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy);
  SetTextColor(dc_.get(), colour);
  ExtTextOutW(dc_.get(), start.x + dx, start.y + dy, 0, nullptr, wide.data(), static_cast<UINT>(wide.size()), nullptr);
  RestoreDC(dc_.get(), saved);
}

platform::Bitmap GdiCanvas::Snapshot(const platform::Rect& rect) {
  GdiFlush();
  return ui::SnapshotPixels(Pixels(), clip_, rect);
}

std::unique_ptr<platform::Canvas> GdiCanvas::CreateSurface(int width, int height) {
  return std::make_unique<GdiCanvas>(width, height);
}

}  // namespace frontends::win32_window
