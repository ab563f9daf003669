#pragma once
// The files of a client build that the launcher owns in the game directory:
// what the archives may carry of them, and what the publisher is told.
#include <string>
#include <vector>

#include "build/build_files.h"

// Whether an archive may carry `file`: never the launcher's state, except
// updatecfg.xml in the full package (a new install needs one).
bool ShippedInArchive(const BuildFile& file, bool fullPackage);

// One line per launcher-owned name the builds hold (`files` of every build,
// in order), each name said once.
std::vector<std::string> LauncherFileWarnings(const std::vector<const std::vector<BuildFile>*>& files);
