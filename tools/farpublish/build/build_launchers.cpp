#include "build/build_launchers.h"

#include <algorithm>

#include "base/files/ox_letter_case.h"

namespace {

ExecutableFormat FormatOfBuildFile(const BuildFile& file) { return ExecutableFormatOfPath(file.path); }

const BuildFile* Find(const std::vector<BuildFile>& files, const char* name) {
  const auto found =
      std::find_if(files.begin(), files.end(), [name](const BuildFile& file) { return file.name == name; });
  return found == files.end() ? nullptr : &*found;
}

}  // namespace

bool IsLauncherProgram(const BuildFile& file) {
  const std::string name = ox_base::FoldLetterCase(file.name);
  return name == ox_base::FoldLetterCase(kLauncherExecutable) ||
         name == ox_base::FoldLetterCase(kLinuxLauncherExecutable);
}

bool HoldsLinuxLauncher(const std::vector<BuildFile>& files) {
  return Find(files, kLinuxLauncherExecutable) != nullptr;
}

bool CheckLauncher(const std::string& buildName, const std::vector<BuildFile>& files, const BuildFile& file,
                   ExecutableFormat& format, std::vector<std::string>& warnings, std::string& error) {
  format = FormatOfBuildFile(file);
  const BuildFile* linux = Find(files, kLinuxLauncherExecutable);
  const BuildFile* windows = Find(files, kLauncherExecutable);
  if (linux != nullptr && FormatOfBuildFile(*linux) != ExecutableFormat::LinuxElf) {
    error = buildName + "/" + kLinuxLauncherExecutable + " is not a Linux program (ELF), so no launcher installs it";
    return false;
  }
  if (linux != nullptr && windows != nullptr && FormatOfBuildFile(*windows) == ExecutableFormat::LinuxElf) {
    error = buildName + " holds two Linux launchers: beside " + kLinuxLauncherExecutable + ", " + kLauncherExecutable +
            " is the Windows launcher";
    return false;
  }
  if (format == ExecutableFormat::Other) {
    warnings.push_back(buildName + "/" + file.name +
                       " is neither a Windows nor a Linux program: launchers skip it");
  }
  return true;
}
