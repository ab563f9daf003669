#pragma once
// The main window without a display: the status and percentage labels
// become a console status line with a text progress bar, the version labels
// and the caption become lines of their own. Layout, images, colours and
// fonts have nothing to show on a console and are ignored.
#include <string>

#include "frontends/console/console.h"
#include "platform/seam.h"

namespace frontends::console {

// "[#########---------------------]  37% status": the bar follows the
// number the percentage text starts with (clamped to 0..100).
std::string StatusLine(const std::string& percentage, const std::string& status);

class ConsoleWindow : public platform::Window {
 public:
  // Label texts arrive in `codePage` and are printed as UTF-8.
  ConsoleWindow(Console& console, unsigned codePage);

  void PlaceControl(int id, const platform::Rect& rect, bool visible) override;
  void CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage, int hoverImage) override;
  void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) override;
  void SetLabelText(int id, const std::string& text) override;
  void SetLabelColour(int id, platform::Colour colour) override;
  void SetLabelTransparent(int id, bool transparent) override;
  void SetLabelFont(int id, const std::string& face, int height, int weight) override;
  void SetupProgressControl(platform::Colour background, platform::Colour bar, int minimum, int maximum) override;
  void SetProgressValue(int value) override;
  void SetCaption(const std::string& caption) override;
  void SetIcon(int iconResource) override;
  void Minimise() override;
  void Repaint(int id) override;
  void BringToFront() override;

 private:
  std::string ToConsole(const std::string& text) const;

  Console& console_;
  unsigned codePage_;
  std::string status_;
  std::string percentage_;
  std::string currentVersion_;
  std::string latestVersion_;
  std::string caption_;
};

}  // namespace frontends::console
