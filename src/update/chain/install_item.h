#pragma once
// One item of a version entry installed by its type: a patch's archive,
// the launcher's archive, or an untyped file.
#include <string>

#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"
#include "update/site/archive_install.h"
#include "update/site/update_documents.h"

// Installs an item, downloaded as `downloaded`, by its type into the
// entry's transaction: what its archive's entries came to (Installed, with
// no entries, for items that are not unpacked). Nothing is touched when
// the entry's journal cannot be saved.
ArchiveInstallResult InstallItem(LauncherState& state, const UpdateFileItem& item, const std::string& downloaded,
                                 PatchTransaction& entry);
