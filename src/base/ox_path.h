#pragma once
// The launcher's file names carry Windows forms (".\client.exe", "dir\file");
// this turns them into names the native file system understands.
#include <string>

namespace ox_base {

// Replaces every "\" by "/". Everything else is kept as given.
std::string NativePath(const std::string& name);

}  // namespace ox_base
