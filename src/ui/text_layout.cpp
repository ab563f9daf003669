#include "ui/text_layout.h"

namespace ui {
namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

constexpr int kTabStop = 8;
const std::string kEllipsis = "...";

std::string ExpandTabs(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\t') {
      out.append(kTabStop - out.size() % kTabStop, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

std::string ResolvePrefixes(const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '&') {
      if (i + 1 < line.size() && line[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;  // a single "&" only underlines the next character
    }
    out += line[i];
  }
  return out;
}

// Drops whole characters from the end of `head` until head + "..." + tail fits.
std::string ShortenToFit(std::string head, const std::string& tail, int width, const TextMeasure& measure) {
  while (!head.empty() && measure(head + kEllipsis + tail) > width) {
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < head.size(); pos += CharLength(head, pos)) {
      last = pos;
    }
    head.erase(last);
  }
  return head + kEllipsis + tail;
}

}  // namespace

std::size_t CharLength(const std::string& text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  return (lead >= 0x81 && lead <= 0xFE && pos + 1 < text.size()) ? 2 : 1;
}

std::vector<std::string> WrapLines(const std::string& text, int width, const TextMeasure& measure) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t end = start;  // the prefix is text[start, end)
  char pendingBreak = 0;     // a CR or LF just seen, waiting for its partner
  while (end < text.size()) {
    const std::size_t charLength = CharLength(text, end);
    end += charLength;
    const char last = text[end - 1];
    if (charLength == 1 && IsLineBreak(last)) {
      if (pendingBreak != 0 && pendingBreak != last) {
        lines.push_back(text.substr(start, end - 2 - start));
        start = end;
        pendingBreak = 0;
        continue;
      }
      pendingBreak = last;
    } else {
      pendingBreak = 0;
    }
    if (measure(text.substr(start, end - start)) <= width) {
      continue;
    }
    const std::size_t fitting = end - charLength - start;
    if (fitting == 0) {
      // Not even one character fits: show it anyway rather than loop.
      lines.push_back(text.substr(start, end - start));
      start = end;
      pendingBreak = 0;
      continue;
    }
    const std::string line = text.substr(start, fitting);
    const std::size_t space = line.rfind(' ');
    if (space == std::string::npos || space + 1 == line.size()) {
      lines.push_back(line);
      start += fitting;
    } else {
      lines.push_back(line.substr(0, space));
      start += space + 1;
    }
    end = start;
    pendingBreak = 0;
  }
  if (start < text.size()) {
    lines.push_back(text.substr(start));
  }
  return lines;
}

LabelTextFlags TextFlagsFromStyle(std::uint32_t style) {
  using namespace static_style;
  LabelTextFlags flags;
  const std::uint32_t type = style & 0x1F;
  if (type == kCenter) {
    flags.align = platform::TextAlign::Centre;
  } else if (type == kRight) {
    flags.align = platform::TextAlign::Right;
  }
  flags.noPrefix = (style & kNoPrefix) != 0;
  flags.endEllipsis = (style & kEndEllipsis) != 0;
  flags.pathEllipsis = (style & kPathEllipsis) != 0;
  flags.wordEllipsis = flags.endEllipsis || flags.pathEllipsis;
  flags.verticalCentre = (style & kCenterImage) != 0;
  return flags;
}

std::string ShownLine(const std::string& line, const LabelTextFlags& flags, int width, const TextMeasure& measure) {
  std::string shown = line.find('\t') != std::string::npos ? ExpandTabs(line) : line;
  if (!flags.noPrefix) {
    shown = ResolvePrefixes(shown);
  }
  if (!(flags.endEllipsis || flags.pathEllipsis || flags.wordEllipsis) || measure(shown) <= width) {
    return shown;
  }
  if (flags.pathEllipsis) {
    // Keep the last path component whole; shorten what comes before it.
    const std::size_t slash = shown.find_last_of("\\/");
    if (slash != std::string::npos) {
      return ShortenToFit(shown.substr(0, slash), shown.substr(slash), width, measure);
    }
  }
  return ShortenToFit(shown, "", width, measure);
}

LineStart PlaceLine(const platform::Rect& rect, int width, int height, platform::TextAlign align,
                    bool verticalCentre) {
  LineStart start{rect.left, verticalCentre ? rect.top + (rect.Height() - height) / 2 : rect.top};
  if (align == platform::TextAlign::Centre) {
    start.x += (rect.Width() - width) / 2;
  } else if (align == platform::TextAlign::Right) {
    start.x = rect.right - width;
  }
  return start;
}

}  // namespace ui
