#include "e2e/x_session.h"

#include <sstream>

#include "e2e/e2e_harness.h"

namespace e2e {

XSession::XSession(const std::filesystem::path& workFolder) : output_(workFolder / "x-tool-output.txt") {}

std::string XSession::Run(const std::vector<std::string>& argv) const {
  if (RunToEnd({argv, {}, {}, output_}, 60s) != 0) {
    return "";
  }
  return ReadFile(output_);
}

std::vector<ScreenWindow> XSession::VisibleWindows(const std::string& title) const {
  std::vector<ScreenWindow> windows;
  std::istringstream ids(Run({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}));
  for (std::string id; ids >> id;) {
    std::istringstream shell(Run({"xdotool", "getwindowgeometry", "--shell", id}));
    ScreenWindow window;
    for (std::string line; std::getline(shell, line);) {
      const std::string key = line.substr(0, line.find('='));
      const int value = std::atoi(line.substr(line.find('=') + 1).c_str());
      if (key == "X") window.x = value;
      if (key == "Y") window.y = value;
      if (key == "WIDTH") window.width = value;
      if (key == "HEIGHT") window.height = value;
    }
    if (window.width > 0) {
      windows.push_back(window);
    }
  }
  return windows;
}

bool XSession::ClickAt(int x, int y) const {
  return RunToEnd({{"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}, {}, {}, output_},
                  60s) == 0;
}

bool XSession::PressKey(const std::string& key) const {
  return RunToEnd({{"xdotool", "key", key}, {}, {}, output_}, 60s) == 0;
}

bool XSession::SaveScreen(const std::filesystem::path& png) const {
  return RunToEnd({{"import", "-window", "root", png.string()}, {}, {}, output_}, 60s) == 0;
}

std::string XSession::Pixel(const std::filesystem::path& png, int x, int y) const {
  const std::string at = std::to_string(x) + "," + std::to_string(y);
  return Run({"convert", png.string(), "-format", "%[hex:p{" + at + "}]", "info:"});
}

namespace {

std::string Geometry(int x, int y, int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
}

}  // namespace

std::string XSession::Area(const std::filesystem::path& png, int x, int y, int width, int height) const {
  return Run({"convert", png.string(), "-crop", Geometry(x, y, width, height), "+repage", "-depth", "8", "rgb:-"});
}

int XSession::ColoursIn(const std::filesystem::path& png, int x, int y, int width, int height) const {
  const std::string crop = Geometry(x, y, width, height);
  return std::atoi(Run({"convert", png.string(), "-crop", crop, "+repage", "-format", "%k", "info:"}).c_str());
}

}  // namespace e2e
