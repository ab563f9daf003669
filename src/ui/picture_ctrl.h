#pragma once
// CPictureCtrl: a picture scaled over the whole control, or, without one,
// a see-through sheet (the launcher's 1001 is the web panel's parent).
#include "ui/control.h"

namespace ui {

class CPictureCtrl : public Control {
 public:
  using Control::Control;
  void SetImage(platform::Bitmap image);
  void Draw(platform::Canvas& canvas) override;

 private:
  platform::Bitmap image_;
};

}  // namespace ui
