#include "ui/plain_controls.h"

#include <algorithm>

namespace ui {

BitmapStatic::BitmapStatic(int id, ControlHost& host, const platform::Rect& rect, bool visible,
                           platform::Bitmap bitmap)
    : Control(id, host, rect, visible), bitmap_(std::move(bitmap)) {}

void BitmapStatic::Draw(platform::Canvas& canvas) {
  if (!bitmap_.Empty()) {
    canvas.CopyImage(bitmap_, 0, 0, ClientRect());
  }
}

void ProgressControl::Setup(platform::Colour background, platform::Colour bar, int minimum, int maximum) {
  background_ = background;
  bar_ = bar;
  minimum_ = minimum;
  maximum_ = maximum;
  Host().InvalidateControl(Id());
}

void ProgressControl::SetValue(int value) {
  value_ = value;
  Host().InvalidateControl(Id());
}

void ProgressControl::Draw(platform::Canvas& canvas) {
  const platform::Rect item = ClientRect();
  canvas.Fill(item, background_);
  if (maximum_ <= minimum_) {
    return;
  }
  const long long done = std::clamp(value_, minimum_, maximum_) - static_cast<long long>(minimum_);
  const int width = static_cast<int>(done * item.Width() / (static_cast<long long>(maximum_) - minimum_));
  canvas.Fill({item.left, item.top, item.left + width, item.bottom}, bar_);
}

}  // namespace ui
