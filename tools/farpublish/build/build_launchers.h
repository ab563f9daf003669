#pragma once
// The launchers a client build holds. farLaunch.exe is the launcher's name
// in every game directory; a build for both platforms holds the Windows
// launcher under that name and the Linux one as farLaunch.
#include <string>
#include <vector>

#include "build/build_files.h"
#include "update/site/executable_format.h"

constexpr char kLinuxLauncherExecutable[] = "farLaunch";

// Whether `file` is one of the launchers (under either name, letter case
// ignored): they travel in the launcher items only.
bool IsLauncherProgram(const BuildFile& file);

// Whether the build holds the Linux launcher beside the Windows one.
bool HoldsLinuxLauncher(const std::vector<BuildFile>& files);

// The format of the launcher `file` of the build `files` (named
// `buildName`). False with the reason when the Linux launcher is no Linux
// program or farLaunch.exe is a Linux program beside it; a warning when
// farLaunch.exe is neither a Windows nor a Linux program (every new
// launcher skips it).
bool CheckLauncher(const std::string& buildName, const std::vector<BuildFile>& files, const BuildFile& file,
                   ExecutableFormat& format, std::vector<std::string>& warnings, std::string& error);
