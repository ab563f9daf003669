#include "ui/picture_ctrl.h"

namespace ui {

void CPictureCtrl::SetImage(platform::Bitmap image) {
  image_ = std::move(image);
  Host().InvalidateControl(Id());
}

void CPictureCtrl::Draw(platform::Canvas& canvas) {
  if (!image_.Empty()) {
    canvas.StretchImage(image_, {0, 0, image_.width, image_.height}, ClientRect(), std::nullopt);
  }
}

}  // namespace ui
