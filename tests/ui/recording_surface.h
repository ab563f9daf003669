#pragma once
// A window stand-in for control tests: records what the controls ask of it.
#include <vector>

#include "ui/dialog_controls.h"

namespace testing_canvas {

class RecordingSurface : public ui::SurfaceHost {
 public:
  void InvalidateArea(const platform::Rect& area) override { invalidated.push_back(area); }
  void RepaintAreaNow(const platform::Rect& area) override { repaintedNow.push_back(area); }
  void ControlClicked(int id) override { clicks.push_back(id); }

  std::vector<platform::Rect> invalidated;
  std::vector<platform::Rect> repaintedNow;
  std::vector<int> clicks;
};

}  // namespace testing_canvas
