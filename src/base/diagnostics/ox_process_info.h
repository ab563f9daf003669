#pragma once
// What the platform tells about the running process.
#include <string>

namespace ox_base {

struct OxProcessInfo {
  std::string commandLine;      // arguments joined by spaces
  std::string modulePath;       // full path of the executable
  std::string moduleDirectory;  // its directory, ending with a separator
  std::string computerName;     // empty when unknown
  std::string userName;         // empty when unknown
};

// From /proc/self/cmdline, /proc/self/exe, the host name and the user
// database.
OxProcessInfo ReadProcessInfo();

}  // namespace ox_base
