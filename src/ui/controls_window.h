#pragma once
// The part of the launcher's window that its skinned controls carry out
// alike on every toolkit: buttons, labels and the progress control by id.
// A toolkit's window derives from it and adds what is its own (placing,
// caption, icon, minimising, coming forward).
#include "platform/seam.h"
#include "ui/dialog_controls.h"

namespace ui {

class ControlsWindow : public platform::Window {
 public:
  void CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage, int hoverImage) override;
  void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) override;
  void SetLabelText(int id, const std::string& text) override;
  void SetLabelColour(int id, platform::Colour colour) override;
  void SetLabelTransparent(int id, bool transparent) override;
  void SetLabelFont(int id, const std::string& face, int height, int weight) override;
  void SetupProgressControl(platform::Colour background, platform::Colour bar, int minimum, int maximum) override;
  void SetProgressValue(int value) override;
  void Repaint(int id) override;

 protected:
  // `controls` outlives this object (a member of the derived window).
  explicit ControlsWindow(DialogControls& controls) : controls_(controls) {}

 private:
  DialogControls& controls_;
};

}  // namespace ui
