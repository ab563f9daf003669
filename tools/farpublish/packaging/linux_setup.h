#pragma once
// "farpublish installer --linux": a new Linux player's game directory as a
// tarball, one folder named for the product holding the Linux launcher,
// the window modules it loads from beside itself, updatecfg.xml, the
// publisher's key and a .desktop file that starts the launcher in the
// folder wherever the player extracted it.
#include <ostream>

#include "packaging/windows_setup.h"

// Writes the tarball to options.out, and says so on `out`; the reason it
// stops on `err`, options.out then untouched.
bool MakeLinuxTarball(const InstallerOptions& options, std::ostream& out, std::ostream& err);
