#include "frontends/console/console_window.h"

#include <algorithm>

#include "base/text/ox_unicode.h"

namespace frontends::console {
namespace {

constexpr int kBarWidth = 30;

// Updates `shown` and reports whether it changed.
bool Replace(std::string& shown, const std::string& text) {
  if (shown == text) return false;
  shown = text;
  return true;
}

}  // namespace

std::string StatusLine(const std::string& percentage, const std::string& status) {
  int percent = 0;
  for (size_t i = 0; i < percentage.size() && percentage[i] >= '0' && percentage[i] <= '9' && percent <= 100; ++i) {
    percent = percent * 10 + (percentage[i] - '0');
  }
  int filled = std::min(percent, 100) * kBarWidth / 100;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] ";
  if (percentage.size() < 4) line += std::string(4 - percentage.size(), ' ');
  line += percentage;
  if (!status.empty()) line += " " + status;
  return line;
}

ConsoleWindow::ConsoleWindow(Console& console, unsigned codePage) : console_(console), codePage_(codePage) {}

std::string ConsoleWindow::ToConsole(const std::string& text) const {
  std::string utf8 = ox_base::CodePageToUtf8(text, codePage_);
  // One label is one console line.
  std::replace_if(utf8.begin(), utf8.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
  utf8.erase(utf8.find_last_not_of(' ') + 1);
  return utf8;
}

void ConsoleWindow::SetLabelText(int id, const std::string& text) {
  switch (id) {
    case platform::controls::StatusLabel:
    case platform::controls::PercentLabel:
      if (Replace(id == platform::controls::StatusLabel ? status_ : percentage_, ToConsole(text))) {
        console_.ShowStatus(StatusLine(percentage_, status_));
      }
      break;
    case platform::controls::CurrentVersionLabel:
      if (Replace(currentVersion_, ToConsole(text))) console_.PrintLine(currentVersion_);
      break;
    case platform::controls::LatestVersionLabel:
      if (Replace(latestVersion_, ToConsole(text))) console_.PrintLine(latestVersion_);
      break;
    default:
      break;
  }
}

void ConsoleWindow::SetCaption(const std::string& caption) {
  if (Replace(caption_, ToConsole(caption))) console_.PrintLine("== " + caption_ + " ==");
}

// Nothing of these shows on a console.
void ConsoleWindow::PlaceControl(int, const platform::Rect&, bool) {}
void ConsoleWindow::CreateSkinButton(int, const platform::Rect&, int, int, int) {}
void ConsoleWindow::SetButtonImages(int, int, int, int) {}
void ConsoleWindow::SetLabelColour(int, platform::Colour) {}
void ConsoleWindow::SetLabelTransparent(int, bool) {}
void ConsoleWindow::SetLabelFont(int, const std::string&, int, int) {}
void ConsoleWindow::SetupProgressControl(platform::Colour, platform::Colour, int, int) {}
// The percentage label carries the same figure as the native progress
// control, so the bar is drawn from the label alone.
void ConsoleWindow::SetProgressValue(int) {}
void ConsoleWindow::SetIcon(int) {}
void ConsoleWindow::Minimise() {}
void ConsoleWindow::Repaint(int) {}
void ConsoleWindow::BringToFront() {}

}  // namespace frontends::console
