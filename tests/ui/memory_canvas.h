#pragma once
// A canvas in memory for tests, with a fake font whose sizes are easy to
// reckon with: every byte is kGlyphWidth pixels wide (a double-byte
// character twice that), lines are font.height pixels high, and a
// character is drawn as a solid box of its cell (spaces stay empty).
#include <vector>

#include "platform/canvas.h"

namespace testing_canvas {

constexpr int kGlyphWidth = 6;
constexpr platform::Colour kPaper = platform::Rgb(255, 255, 255);

class MemoryCanvas : public platform::Canvas {
 public:
  MemoryCanvas(int width, int height, platform::Colour fill = kPaper);

  platform::Colour At(int x, int y) const { return pixels_.PixelAt(x, y); }
  const platform::Bitmap& Pixels() const { return pixels_; }
  void SetBackgroundColour(platform::Colour colour) { background_ = colour; }

  void SetOrigin(int x, int y) override;
  void PushClip(const platform::Rect& rect) override;
  void PopClip() override;
  platform::Rect ClipBox() override;
  void CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) override;
  void StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                    std::optional<platform::Colour> transparent) override;
  void Fill(const platform::Rect& rect, platform::Colour colour) override;
  platform::Colour BackgroundColour() override { return background_; }
  int TextWidth(const platform::Font& font, const std::string& text) override;
  int LineHeight(const platform::Font& font) override;
  void DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                const std::string& text, platform::TextAlign align, bool verticalCentre) override;
  platform::Bitmap Snapshot(const platform::Rect& rect) override;
  std::unique_ptr<platform::Canvas> CreateSurface(int width, int height) override;

 private:
  // Sets a pixel given in logical coordinates, inside the clip only.
  void Put(int x, int y, platform::Colour colour);

  platform::Bitmap pixels_;
  platform::Colour background_ = kPaper;
  int originX_ = 0;
  int originY_ = 0;
  std::vector<platform::Rect> clips_;  // device coordinates
};

}  // namespace testing_canvas
