#pragma once
// What a window test does on the X display (DISPLAY): find the launcher's
// windows and click into them with xdotool, and save and inspect the
// screen with ImageMagick.
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

struct ScreenWindow {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class XSession {
 public:
  // `workFolder` takes the tools' output.
  explicit XSession(const std::filesystem::path& workFolder);

  // The visible top-level windows with this exact title.
  std::vector<ScreenWindow> VisibleWindows(const std::string& title) const;
  bool ClickAt(int x, int y) const;
  // Types a key (an xdotool key name such as "Escape") into the focused window.
  bool PressKey(const std::string& key) const;
  // Saves the whole screen as a PNG file.
  bool SaveScreen(const std::filesystem::path& png) const;
  // A pixel of a saved screen as "RRGGBB".
  std::string Pixel(const std::filesystem::path& png, int x, int y) const;
  // The raw RGB bytes of a rectangle of a saved screen.
  std::string Area(const std::filesystem::path& png, int x, int y, int width, int height) const;
  // The number of distinct colours in a rectangle of a saved screen.
  int ColoursIn(const std::filesystem::path& png, int x, int y, int width, int height) const;

 private:
  // Runs a tool and gives its output ("" when it failed).
  std::string Run(const std::vector<std::string>& argv) const;

  std::filesystem::path output_;
};

}  // namespace e2e
