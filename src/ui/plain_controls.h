#pragma once
// The window's controls that are not the launcher's own classes: the
// background picture, the platform progress control and controls that draw
// nothing (hidden ones without a role, and the places of native widgets).
#include "ui/control.h"

namespace ui {

// A picture static showing a bitmap at its natural size.
class BitmapStatic : public Control {
 public:
  BitmapStatic(int id, ControlHost& host, const platform::Rect& rect, bool visible, platform::Bitmap bitmap);
  void Draw(platform::Canvas& canvas) override;

 private:
  platform::Bitmap bitmap_;
};

class ProgressControl : public Control {
 public:
  using Control::Control;
  void Setup(platform::Colour background, platform::Colour bar, int minimum, int maximum);
  void SetValue(int value);
  void Draw(platform::Canvas& canvas) override;

 private:
  platform::Colour background_ = platform::Rgb(230, 230, 230);
  platform::Colour bar_ = platform::Rgb(6, 176, 37);
  int minimum_ = 0;
  int maximum_ = 100;
  int value_ = 0;
};

class InertControl : public Control {
 public:
  using Control::Control;
  void Draw(platform::Canvas&) override {}
};

}  // namespace ui
