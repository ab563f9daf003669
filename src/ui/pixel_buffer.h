#pragma once
// Pictures and fills drawn straight into a surface's 32-bit pixels
// (0x00RRGGBB, as cairo's RGB24 images and 32-bit DIB sections hold them),
// so that every canvas on such a surface puts the same pixels where a
// picture goes. `clip` is the drawing canvas' origin and clip over the
// buffer.
#include <cstdint>
#include <optional>

#include "platform/canvas.h"
#include "ui/canvas_clip.h"

namespace ui {

// A surface's pixels: `width` x `height`, rows from the top, `stride` bytes
// apart. Null pixels (a surface that could not be made) take no drawing.
struct PixelBuffer {
  unsigned char* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// platform::Canvas::CopyImage on the pixels, inside `clip`.
void CopyPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Bitmap& image, int sourceX,
                int sourceY, const platform::Rect& dest);
// platform::Canvas::StretchImage on the pixels, inside `clip`: each
// destination pixel shows the source pixel under its centre, a centre on a
// boundary taking the pixel before it (as cairo's nearest filter does).
void StretchPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Bitmap& image,
                   const platform::Rect& source, const platform::Rect& dest,
                   std::optional<platform::Colour> transparent);
// platform::Canvas::Fill on the pixels, inside `clip`.
void FillPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& rect,
                platform::Colour colour);
// platform::Canvas::Snapshot of the pixels; what lies off the surface is
// black.
platform::Bitmap SnapshotPixels(const PixelBuffer& buffer, const CanvasClip& clip, const platform::Rect& rect);

}  // namespace ui
