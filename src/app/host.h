#pragma once
// What the launcher's start needs of the operating system, one file per
// platform (host_posix.cpp, host_win.cpp): its standard streams and the
// window front end.
#include <memory>
#include <string>

#include "platform/seam.h"

namespace host {

// Gives the process standard streams where the player typed the command:
// a Windows program without a console of its own (a double-click must not
// open one) attaches to its parent's console, unless its streams were
// handed to it.
void UseParentConsole();

// Whether a window can be shown at all (Linux: a display is named).
bool WindowPossible();

// The window front end, or nullptr with the reason in `error` when it
// cannot be had.
std::unique_ptr<platform::Platform> MakeWindowPlatform(std::string& error);

}  // namespace host
