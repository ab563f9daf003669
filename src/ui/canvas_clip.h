#pragma once
// A canvas' origin and its nested clip rectangles, kept in device
// coordinates: what every canvas implementation tracks alike.
#include <algorithm>
#include <vector>

#include "platform/seam.h"

namespace ui {

class CanvasClip {
 public:
  // A surface of that size: nothing clipped but its bounds, origin (0,0).
  CanvasClip(int width, int height) : clips_{{0, 0, width, height}} {}

  void SetOrigin(int x, int y) {
    originX_ = x;
    originY_ = y;
  }
  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }

  // Narrows the clip to `logical` until the matching Pop; the surface's
  // bounds are never popped.
  void Push(const platform::Rect& logical) { clips_.push_back(Visible(logical)); }
  void Pop() {
    if (clips_.size() > 1) clips_.pop_back();
  }

  // The clip in device coordinates, and in logical ones.
  const platform::Rect& Device() const { return clips_.back(); }
  platform::Rect Logical() const {
    const platform::Rect& c = clips_.back();
    return {c.left - originX_, c.top - originY_, c.right - originX_, c.bottom - originY_};
  }
  // The part of a logical rectangle that drawing may touch, in device
  // coordinates (empty or inverted when none).
  platform::Rect Visible(const platform::Rect& logical) const {
    const platform::Rect& c = clips_.back();
    return {std::max(c.left, logical.left + originX_), std::max(c.top, logical.top + originY_),
            std::min(c.right, logical.right + originX_), std::min(c.bottom, logical.bottom + originY_)};
  }

 private:
  int originX_ = 0;
  int originY_ = 0;
  std::vector<platform::Rect> clips_;
};

}  // namespace ui
