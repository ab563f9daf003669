#pragma once
// What the operating system tells about this process, read by
// ReadProcessInfo; one implementation per platform.
#include <cstddef>
#include <string>

namespace ox_base {

// Names are kept to what a 260-byte buffer held.
constexpr size_t kNameMax = 259;

// The arguments joined by spaces, in the launcher's code page.
std::string CommandLine();
// The executable's full native path; "" when unknown.
std::string ExecutablePath();
std::string ComputerName();
std::string UserName();

}  // namespace ox_base
