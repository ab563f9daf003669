#pragma once
// The install of an update straight to the newest release, as one
// transaction of the journal the patches use: the staged files take their
// places (the originals moved aside), the files the plan deletes are moved
// aside too, the newest manifest becomes the kept one, the version is
// recorded, and only then do the originals go. A failure or a kill before
// the record puts the game back as it was.
#include <functional>
#include <string>

#include "manifest/release_manifest.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"
#include "update/manifest/manifest_plan.h"
#include "update/site/archive_install.h"

// Records the installed version (in updatecfg.xml); false with the reason.
using RecordVersion = std::function<bool(std::string& problem)>;

// Installs the staged files of `plan` (FetchChangedFiles) into `run`, deletes
// its removals, keeps `newest` as kKeptManifest and records the version
// through `record`, in the unpack's mark, so that a launch waits for the
// commit. Installed once committed (the stage then goes); Cancelled when
// the launcher is ending (looked at between files; what was placed stays
// for the end's roll-back of the journal); otherwise the reason, with
// `run` left for the caller to put back (FailUpdate).
ArchiveInstallResult InstallManifestUpdate(LauncherState& state, const ManifestPlan& plan,
                                           const ReleaseManifest& newest, const RecordVersion& record,
                                           PatchTransaction& run);
