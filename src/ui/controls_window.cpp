#include "ui/controls_window.h"

namespace ui {

void ControlsWindow::CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage,
                                      int hoverImage) {
  controls_.CreateSkinButton(id, rect, normalImage, pressedImage, hoverImage);
}

void ControlsWindow::SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) {
  controls_.SetButtonImages(id, normalImage, pressedImage, hoverImage);
}

void ControlsWindow::SetLabelText(int id, const std::string& text) {
  if (CxStatic* label = controls_.Label(id)) {
    label->SetText(text);
  }
}

void ControlsWindow::SetLabelColour(int id, platform::Colour colour) {
  if (CxStatic* label = controls_.Label(id)) {
    label->SetTextColour(colour);
  }
}

void ControlsWindow::SetLabelTransparent(int id, bool transparent) {
  if (CxStatic* label = controls_.Label(id)) {
    label->SetTransparent(transparent);
  }
}

void ControlsWindow::SetLabelFont(int id, const std::string& face, int height, int weight) {
  if (CxStatic* label = controls_.Label(id)) {
    label->SetFontParams(face, height, weight, true);
  }
}

void ControlsWindow::SetupProgressControl(platform::Colour background, platform::Colour bar, int minimum,
                                          int maximum) {
  if (ProgressControl* progress = controls_.Progress(platform::controls::ProgressControl)) {
    progress->Setup(background, bar, minimum, maximum);
  }
}

void ControlsWindow::SetProgressValue(int value) {
  if (ProgressControl* progress = controls_.Progress(platform::controls::ProgressControl)) {
    progress->SetValue(value);
  }
}

void ControlsWindow::Repaint(int id) { controls_.InvalidateControl(id); }

}  // namespace ui
