#pragma once
// platform::Canvas on a cairo image surface, with text through Pango in a
// CJK font that stands in for the launcher's "宋体".
#include <cairo.h>
#include <pango/pangocairo.h>

#include <map>
#include <vector>

#include "platform/canvas.h"

namespace platform::gtk {

// The font family every face name is drawn with.
constexpr const char* kCjkFontFamily = "WenQuanYi Zen Hei";

class CairoCanvas : public Canvas {
 public:
  // Draws on `surface` (an RGB24 image surface); takes a reference to it.
  explicit CairoCanvas(cairo_surface_t* surface);
  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  cairo_surface_t* Surface() const { return surface_; }

  void SetOrigin(int x, int y) override;
  void PushClip(const Rect& rect) override;
  void PopClip() override;
  Rect ClipBox() override;
  void CopyImage(const Bitmap& image, int sourceX, int sourceY, const Rect& dest) override;
  void StretchImage(const Bitmap& image, const Rect& source, const Rect& dest,
                    std::optional<Colour> transparent) override;
  void Fill(const Rect& rect, Colour colour) override;
  Colour BackgroundColour() override;
  int TextWidth(const Font& font, const std::string& text) override;
  int LineHeight(const Font& font) override;
  void DrawText(const Font& font, Colour colour, const Rect& rect, const std::string& text, TextAlign align,
                bool verticalCentre) override;
  Bitmap Snapshot(const Rect& rect) override;
  std::unique_ptr<Canvas> CreateSurface(int width, int height) override;

 private:
  void ApplyClip();
  PangoLayout* LayoutFor(const Font& font, const std::string& text);
  PangoFontDescription* DescriptionFor(const Font& font);

  cairo_surface_t* surface_;
  cairo_t* cr_;
  int originX_ = 0;
  int originY_ = 0;
  std::vector<Rect> clips_;  // device coordinates
  std::map<std::pair<int, int>, PangoFontDescription*> fonts_;  // (height, weight)
};

}  // namespace platform::gtk
