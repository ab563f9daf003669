#include "ui/xstatic.h"

#include <algorithm>
#include <cctype>

#include "ui/image_resources.h"
#include "ui/mem_dc.h"

namespace ui {
namespace {

constexpr platform::Colour kWhite = platform::Rgb(255, 255, 255);

bool HasBmpExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) {
    return false;
  }
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".bmp";
}

}  // namespace

CxStatic::CxStatic(int id, ControlHost& host, const platform::Rect& rect, bool visible, std::uint32_t style,
                   const platform::Font& font, const std::string& text)
    : Control(id, host, rect, visible), text_(text), font_(font), savedStyle_(style) {}

void CxStatic::SetTextColour(platform::Colour colour) {
  colour_ = colour;
  Host().InvalidateControl(Id());
}

void CxStatic::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Host().InvalidateControl(Id());
}

void CxStatic::SetFontParams(const std::string& face, int height, int weight, bool redraw) {
  font_ = platform::Font{face, height, weight};
  if (redraw) {
    Host().InvalidateControl(Id());
  }
}

void CxStatic::SetText(const std::string& text) {
  text_ = text;
  if (transparent_) {
    const platform::Rect& r = WindowRect();
    Host().RepaintAreaNow({r.left - 1, r.top - 1, r.right + 1, r.bottom + 1});
  } else {
    Host().InvalidateControl(Id());
  }
}

void CxStatic::OnDropFiles(const std::vector<std::string>& paths) {
  if (paths.size() != 1 || !HasBmpExtension(paths.front())) {
    return;
  }
  platform::Bitmap picture = LoadBitmapFile(paths.front());
  if (picture.Empty()) {
    return;
  }
  background_ = std::move(picture);
  Host().InvalidateControl(Id());
}

void CxStatic::Draw(platform::Canvas& canvas) {
  transparent_ = true;
  const platform::Rect item = ClientRect();
  CMemDC memDC(canvas, item, true);
  if (!background_.Empty()) {
    memDC.StretchImage(background_, {0, 0, background_.width - 1, background_.height - 1}, item, kWhite);
  }
  const TextMeasure measure = [&](const std::string& s) { return memDC.TextWidth(font_, s); };
  const std::vector<std::string> lines =
      wordWrap_ ? WrapLines(text_, item.Width(), measure) : std::vector<std::string>{text_};
  const LabelTextFlags flags = TextFlagsFromStyle(savedStyle_);
  const int lineHeight = memDC.LineHeight(font_);
  int top = item.top;
  if (flags.verticalCentre) {
    top = (item.Height() - lineHeight * static_cast<int>(lines.size())) / 2;
  }
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const platform::Rect lineRect{item.left, top + lineHeight * static_cast<int>(k), item.right, item.bottom};
    memDC.DrawString(font_, colour_, lineRect, ShownLine(lines[k], flags, item.Width(), measure), flags.align, false);
  }
}

}  // namespace ui
