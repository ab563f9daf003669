#pragma once
// What an update straight to the newest release does to the game
// directory, decided from the installed release's manifest, the newest one
// and the files on disk: which files to fetch and which to delete. Every
// other file stays as the player has it (a player's or the launcher's
// edits to rh_game.ini, cfg.ini ... are never reverted).
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "manifest/release_manifest.h"
#include "update/gamedir/game_file_rules.h"

// A file of the newest release the update writes: its record there and
// its name as the game directory's functions take it (the code page).
struct PlannedFile {
  ManifestFile record;
  std::string local;
};

struct ManifestPlan {
  // By name, as the newest manifest lists them.
  std::vector<PlannedFile> fetch;
  // The installed release's files that the newest one no longer has, that
  // are on disk and that may go (RemovalOf; code page names).
  std::vector<std::string> remove;
  // Those that stay, and why (for the log; the launcher's own are left
  // unsaid).
  struct KeptFile {
    std::string local;
    Removal reason;
  };
  std::vector<KeptFile> kept;
  // Files of the newest release that an unverified run may not write: the
  // publisher's key and the record of accepted documents (IsTrustFile).
  std::vector<PlannedFile> refusedTrustFiles;
  // The stored bytes of the distinct objects `fetch` needs (of their
  // deltas, for the contents FetchChangedFiles fetches by delta).
  std::uint64_t bytesToFetch = 0;
};

// A file of the newest release is fetched when it is missing, or when its
// line (size and SHA-256) differs between the installed manifest and the
// newest. Without an installed manifest (`installed` null) it is fetched
// when its size or content on disk differs (contents hashed only where the
// size matches and the record of installed files does not vouch for it).
// A file named in `repair` (a manifest's names, found damaged or missing)
// is fetched whatever the manifests say. Only files the installed manifest
// lists are deleted, and of those only what RemovalOf lets go. The
// launcher's own files are never written (IsLauncherOwned), nor, when
// `verified` is false, the files its trust rests on. False with the reason
// for a name that has no form in the code page or that leaves the game
// directory (a drive).
bool PlanManifestUpdate(const ReleaseManifest* installed, const ReleaseManifest& newest, bool verified,
                        const std::set<std::string>& repair, ManifestPlan& plan, std::string& problem);
