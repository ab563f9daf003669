#include "base/diagnostics/ox_process_info.h"

#include "base/files/ox_path.h"
#include "base/diagnostics/ox_process_facts.h"

namespace ox_base {

OxProcessInfo ReadProcessInfo() {
  OxProcessInfo info;
  info.commandLine = CommandLine();
  info.modulePath = ExecutablePath();
  std::string drive, directory;
  SplitPath(info.modulePath.c_str(), &drive, &directory, nullptr, nullptr);
  info.moduleDirectory = drive + directory;
  info.computerName = ComputerName();
  info.userName = UserName();
  return info;
}

}  // namespace ox_base
