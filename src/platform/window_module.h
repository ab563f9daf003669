#pragma once
// The window front end is a loadable module, so that a console run never
// maps the toolkit's libraries. The module exports this one factory.
#include "platform/seam.h"

extern "C" {
// Opens the window; nullptr when no display opens. The caller owns the
// result, and the calling thread becomes the UI thread.
platform::Platform* farlaunch_create_window_platform();
}

namespace platform {

using WindowPlatformFactory = Platform* (*)();
constexpr char kWindowPlatformFactoryName[] = "farlaunch_create_window_platform";

}  // namespace platform
