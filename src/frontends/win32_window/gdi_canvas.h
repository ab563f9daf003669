#pragma once
// platform::Canvas on a GDI memory DC holding a 32-bit top-down DIB section.
// Pictures are written into the DIB's pixels directly, so they come out
// exactly as the cairo canvas draws them; text goes through GDI in a font
// that has the launcher's Chinese glyphs.
#include <windows.h>

#include <map>
#include <tuple>

#include "frontends/win32_window/gdi_object.h"
#include "platform/canvas.h"
#include "ui/canvas_clip.h"
#include "ui/pixel_buffer.h"

namespace frontends::win32_window {

class GdiCanvas : public platform::Canvas {
 public:
  // A surface of that size (at least 1 x 1), filled with BackgroundColour().
  GdiCanvas(int width, int height);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // The memory DC holding the pixels, for copying them to a window.
  HDC Dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void SetOrigin(int x, int y) override;
  void PushClip(const platform::Rect& rect) override;
  void PopClip() override;
  platform::Rect ClipBox() override;
  void CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) override;
  void StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                    std::optional<platform::Colour> transparent) override;
  void Fill(const platform::Rect& rect, platform::Colour colour) override;
  platform::Colour BackgroundColour() override;
  int TextWidth(const platform::Font& font, const std::string& text) override;
  int LineHeight(const platform::Font& font) override;
  void DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                  const std::string& text, platform::TextAlign align, bool verticalCentre) override;
  platform::Bitmap Snapshot(const platform::Rect& rect) override;
  std::unique_ptr<platform::Canvas> CreateSurface(int width, int height) override;

 private:
  ui::PixelBuffer Pixels() const { return {bits_, width_, height_, width_ * 4}; }
  void ApplyClip();
  HFONT FontFor(const platform::Font& font);

  int width_;
  int height_;
  MemoryDc dc_;
  GdiObject<HBITMAP> bitmap_;
  HGDIOBJ initialBitmap_ = nullptr;
  HGDIOBJ initialFont_ = nullptr;
  unsigned char* bits_ = nullptr;  // 32-bit 0x00RRGGBB pixels, rows from the top
  ui::CanvasClip clip_;
  std::map<std::tuple<std::string, int, int>, GdiObject<HFONT>> fonts_;  // (face, height, weight)
};

}  // namespace frontends::win32_window
