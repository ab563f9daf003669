#pragma once
// The cheap way to a changed file: when the newest manifest lists a delta
// from the content the player's file holds, the launcher fetches that
// delta and applies it against the file into the file's staged content,
// checked against its SHA-256. Whatever gets no delta (none listed, or one
// that fails to download, apply or match) is fetched whole.
#include <string>
#include <vector>

#include "manifest/release_manifest.h"
#include "update/manifest/manifest_plan.h"
#include "update/site/mirror_downloads.h"

// The delta of `file` from the content `installedSha256`, if listed.
const ManifestDelta* DeltaFrom(const ManifestFile& file, const std::string& installedSha256);

// True when the manifest's deltas may be fetched from `sources`: they are
// taken only from the deltas/ folder beside the site's objects/, where
// every mirror keeps them too. Otherwise logged, and false.
bool DeltasUsable(const ReleaseManifest& newest, const SiteSources& sources);

// A content to make from the player's file by a delta.
struct PlannedDelta {
  const PlannedFile* file;
  const ManifestDelta* delta;
};

// The deltas worth fetching for `files` (each a content not staged yet):
// one per file whose file on disk holds a listed source (as the record of
// installed files vouches, else hashed, several files at once), each
// smaller than the content's object, whose apply fits in half of the
// machine's memory (the environment's FARLAUNCH_DELTA_MEMORY, in bytes,
// lowers that bound); a file over the bound is logged.
std::vector<PlannedDelta> ChooseDeltas(const std::vector<const PlannedFile*>& files);

// Where the delta is below the site's folder.
std::string DeltaPath(const PlannedDelta& planned);

// Applies the delta downloaded to `download` (code page name) against the
// player's file into the content's staged file, checked against its size
// and SHA-256. False with the reason.
bool StageFromDelta(const PlannedDelta& planned, const std::string& download, std::string& problem);
