#pragma once
// The launcher window as the update display and the controller share it:
// the control ids (the seam's) plus the bar's fixed geometry and images,
// and the timer that drives the display.
#include "platform/seam.h"

namespace controls {

using namespace platform::controls;

// PNG resources of the bar button: while downloading, while installing.
constexpr int DownloadBarImage = 2600;
constexpr int InstallBarImage = 2601;

// The bar button grows from this rectangle's left edge.
constexpr platform::Rect ProgressBarRect{426, 564, 942, 584};
constexpr int ProgressBarFullWidth = 522;

}  // namespace controls

// The window timer that drives the status display.
constexpr int kStatusTimer = 1;
constexpr int kStatusTimerPeriodMs = 100;
