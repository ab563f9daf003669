#pragma once
// The update straight to the newest release: when the newest entry of the
// server document is newer than the installed release and names a manifest
// of the format this launcher reads, the launcher plans from the manifests
// (ManifestPlan), fetches and stages what changed (FetchChangedFiles) and
// installs it in one transaction (InstallManifestUpdate), instead of
// walking the chain of patches.
#include <optional>
#include <string>

#include "manifest/release_manifest.h"
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"
#include "update/site/update_documents.h"

// True when `link` names a manifest of the format this launcher reads.
bool Readable(const std::optional<ManifestLink>& link);

// Fetches and reads the manifest `link` names: its bytes are the Digest
// and Bytes the document gives (with a key, the document's signature
// covers them) before anything decodes them. One the document names by its
// SHA-256 waits in the stage until the update is done (RemoveStage): a
// later run reads it there. False with the reason.
bool FetchManifest(LauncherState& state, platform::Platform& platform, const ManifestLink& link,
                   ReleaseManifest& manifest, std::string& problem);

// Fetches the manifest `entry` names and keeps it as kKeptManifest: the
// installed release's from then on. False with the reason when the entry
// names none this launcher reads, the fetch fails, it is another
// release's manifest, or it cannot be saved.
bool KeepManifestOf(LauncherState& state, platform::Platform& platform, const VersionEntry& entry,
                    std::string& problem);

// --verify of a game that keeps no manifest, on the worker once the server
// document is read: keeps the manifest the document names for the
// installed release and ends the process with what
// state.ends.verifyFromSite found. Without it the process ends as a
// failure, logged.
void VerifyFromSite(LauncherState& state, platform::Platform& platform);

// True when the update took this way (completed, or cancelled by the
// launcher's end; a failure ends the process). False, with nothing done,
// when the patches are to be taken: the newest entry names no manifest, or
// one of another format, is not newer than the installed release, or an
// entry on the way carries a new launcher (its item replaces the launcher
// first; the new one goes on from there); or, logged, when this way stops
// before installing anything for a reason the patches do not share (its
// manifest, a name, a limit, an object no source serves; not a full
// disk). A repair (state.ends.repair)
// takes this way at the newest release too, and ends the process as a
// failure when the newest entry names no manifest it reads or when the
// game does not verify afterwards, or when this way stops.
bool UpdateFromManifest(LauncherState& state, platform::Platform& platform);
