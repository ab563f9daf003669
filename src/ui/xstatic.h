#pragma once
// CxStatic: a see-through label that keeps its own text, colour and font
// and lays the text out in word-wrapped lines.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/text_layout.h"

namespace ui {

// The platform's window-text colour, a label's colour until it is set.
constexpr platform::Colour kWindowText = platform::Rgb(0, 0, 0);

class CxStatic : public Control {
 public:
  // `style` is the window style the label was created with (it decides the
  // alignment), `font` the control's font, `text` its window text.
  CxStatic(int id, ControlHost& host, const platform::Rect& rect, bool visible, std::uint32_t style,
           const platform::Font& font, const std::string& text);

  void SetTextColour(platform::Colour colour);
  void SetTransparent(bool transparent);
  void SetFontParams(const std::string& face, int height, int weight, bool redraw);
  // Keeps the text; a transparent label has the window repaint the area
  // under it first, so no trace of the old text remains.
  void SetText(const std::string& text);
  // Files dropped on the label: exactly one ".bmp" becomes the picture under
  // the text (white see-through); anything else is ignored.
  void OnDropFiles(const std::vector<std::string>& paths);

  const std::string& Text() const { return text_; }
  const platform::Font& GetFont() const { return font_; }
  platform::Colour TextColour() const { return colour_; }

  void Draw(platform::Canvas& canvas) override;

 private:
  std::string text_;
  platform::Colour colour_ = kWindowText;
  bool transparent_ = false;
  bool wordWrap_ = true;
  platform::Font font_;
  std::uint32_t savedStyle_;
  platform::Bitmap background_;
};

}  // namespace ui
