#pragma once
// CMemDC: an off-screen surface over a rectangle of a target canvas. All
// drawing goes to the surface, in the target's coordinates; destroying it
// copies the rectangle back in one step, so the target never shows a half
// drawn state.
#include <memory>
#include <optional>

#include "platform/canvas.h"

namespace ui {

class CMemDC : public platform::Canvas {
 public:
  // `rect` in the target's logical coordinates; without one, the target's
  // clip box. With `copyBackground` the surface starts as a copy of the
  // target's pixels under the rectangle, otherwise filled with the target's
  // background colour.
  CMemDC(platform::Canvas& target, std::optional<platform::Rect> rect, bool copyBackground);
  ~CMemDC() override;
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

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
  platform::Canvas& target_;
  platform::Rect rect_;
  std::unique_ptr<platform::Canvas> surface_;
};

}  // namespace ui
