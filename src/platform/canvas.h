#pragma once
// The drawing surface the skinned controls paint on. The GTK backend
// implements it on cairo; tests use an in-memory canvas. Coordinates are
// logical: SetOrigin moves logical (0,0) to a device point, so a control
// draws in its own coordinates wherever it sits in the window.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/seam.h"

namespace platform {

// A decoded image: rows from the top, four bytes per pixel (R, G, B, A).
// Images without an alpha channel carry A = 255 and hasAlpha = false.
struct Bitmap {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<std::uint8_t> rgba;

  bool Empty() const { return width <= 0 || height <= 0; }
  // The pixel's colour value (alpha left out); (x, y) must lie inside.
  Colour PixelAt(int x, int y) const {
    const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    return Rgb(p[0], p[1], p[2]);
  }
};

// A font request; the face name is code-page text. Height is the cell
// height in pixels, weight 0-1000 as in the original font descriptions.
struct Font {
  std::string face;
  int height = 0;
  int weight = 0;
  bool operator==(const Font& o) const { return face == o.face && height == o.height && weight == o.weight; }
};

enum class TextAlign { Left, Centre, Right };

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Logical (0,0) is drawn at device point (x, y) from now on.
  virtual void SetOrigin(int x, int y) = 0;
  // Restricts drawing to `rect` (intersected with the current clip) until
  // the matching PopClip.
  virtual void PushClip(const Rect& rect) = 0;
  virtual void PopClip() = 0;
  // The rectangle drawing is currently restricted to.
  virtual Rect ClipBox() = 0;

  // Copies the image's pixels from (sourceX, sourceY) onwards onto `dest`
  // one for one, without scaling; the alpha channel is ignored. Parts of
  // `dest` that the image does not reach stay as they are.
  virtual void CopyImage(const Bitmap& image, int sourceX, int sourceY, const Rect& dest) = 0;
  // Scales the `source` part of the image over `dest`. Pixels of colour
  // `transparent`, when given, are not drawn.
  virtual void StretchImage(const Bitmap& image, const Rect& source, const Rect& dest,
                            std::optional<Colour> transparent) = 0;
  virtual void Fill(const Rect& rect, Colour colour) = 0;

  // The colour a fresh surface is filled with.
  virtual Colour BackgroundColour() = 0;

  // Text is code-page text drawn on one line (line breaks are not applied).
  virtual int TextWidth(const Font& font, const std::string& text) = 0;
  virtual int LineHeight(const Font& font) = 0;
  virtual void DrawString(const Font& font, Colour colour, const Rect& rect, const std::string& text,
                        TextAlign align, bool verticalCentre) = 0;

  // The pixels currently shown in `rect` (logical coordinates).
  virtual Bitmap Snapshot(const Rect& rect) = 0;
  // A new off-screen surface of the same kind (same fonts), origin (0,0).
  virtual std::unique_ptr<Canvas> CreateSurface(int width, int height) = 0;
};

}  // namespace platform
