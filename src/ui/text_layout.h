#pragma once
// How a label turns its text into lines. Texts are code-page (GBK) bytes;
// a double-byte character is never split.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace ui {

// Bytes of the code-page character starting at `pos`.
std::size_t CharLength(const std::string& text, std::size_t pos);

using TextMeasure = std::function<int(const std::string&)>;

// Word wrap: "\r\n" and "\n\r" end a line (a lone or doubled CR or LF stays
// in its line); a line that grows wider than `width` is cut at its last
// space (dropping it) or, without a usable space, before the character that
// did not fit. Every line holds at least one character.
std::vector<std::string> WrapLines(const std::string& text, int width, const TextMeasure& measure);

// The drawing flags a label takes from its window style.
struct LabelTextFlags {
  platform::TextAlign align = platform::TextAlign::Left;
  bool noPrefix = false;
  bool endEllipsis = false;
  bool pathEllipsis = false;
  bool wordEllipsis = false;
  bool verticalCentre = false;
};

namespace static_style {
constexpr std::uint32_t kCenter = 0x1;
constexpr std::uint32_t kRight = 0x2;
constexpr std::uint32_t kNoPrefix = 0x80;
constexpr std::uint32_t kCenterImage = 0x200;
constexpr std::uint32_t kEndEllipsis = 0x4000;
constexpr std::uint32_t kPathEllipsis = 0x8000;
}  // namespace static_style

LabelTextFlags TextFlagsFromStyle(std::uint32_t style);

// One line as it is shown: tabs expanded, "&" prefixes resolved (unless
// noPrefix) and, with an ellipsis flag, shortened with "..." to fit `width`.
std::string ShownLine(const std::string& line, const LabelTextFlags& flags, int width, const TextMeasure& measure);

// Where a line `width` x `height` pixels large starts when drawn in `rect`
// (platform::Canvas::DrawString): its left edge and top.
struct LineStart {
  int x = 0;
  int y = 0;
};
LineStart PlaceLine(const platform::Rect& rect, int width, int height, platform::TextAlign align,
                    bool verticalCentre);

}  // namespace ui
