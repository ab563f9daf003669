#pragma once
// platform::Canvas on a cairo image surface, with text through Pango in a
// CJK font that stands in for the launcher's "宋体".
#include <cairo.h>
#include <pango/pangocairo.h>

#include <map>

#include "frontends/gtk/owned.h"
#include "platform/canvas.h"
#include "ui/canvas_clip.h"
#include "ui/pixel_buffer.h"

namespace frontends::gtk {

// The font family every face name is drawn with.
constexpr const char* kCjkFontFamily = "WenQuanYi Zen Hei";

class CairoCanvas : public platform::Canvas {
 public:
  // Draws on `surface` (an RGB24 image surface); takes a reference to it.
  explicit CairoCanvas(cairo_surface_t* surface);
  // Draws on a new RGB24 surface of that size (at least 1 x 1).
  CairoCanvas(int width, int height);

  cairo_surface_t* Surface() const { return surface_.get(); }

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
  explicit CairoCanvas(CairoSurface surface);
  ui::PixelBuffer Pixels() const;
  void ApplyClip();
  GObjectRef<PangoLayout> LayoutFor(const platform::Font& font, const std::string& text);
  const PangoFontDescription* DescriptionFor(const platform::Font& font);

  CairoSurface surface_;
  CairoContext cr_;
  ui::CanvasClip clip_;
  std::map<std::pair<int, int>, FontDescription> fonts_;  // (height, weight)
};

}  // namespace frontends::gtk
