#pragma once
// Control ids and fixed geometry of the launcher window that the update
// display and the launcher controller share.
#include "platform/seam.h"

namespace controls {

constexpr int Background = 1001;
constexpr int NewsPanel = 1005;
constexpr int SecondBrowser = 1006;
constexpr int ProgressControl = 1003;
constexpr int PercentLabel = 1004;
constexpr int StatusLabel = 1007;
constexpr int CurrentVersionLabel = 2024;
constexpr int LatestVersionLabel = 2050;
constexpr int UnusedStatic = 1013;
constexpr int UnusedPicture = 2072;
constexpr int UnusedCheckBox = 2070;

constexpr int CloseButton = 2021;
constexpr int MinimiseButton = 2038;
constexpr int ClearCacheButton = 2077;
constexpr int ProgressBarButton = 2031;

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
