#pragma once
// The cheap way to a changed file: when the newest manifest lists a delta
// from the content the player's file holds, the launcher fetches that
// delta and applies it against the file into the file's staged content,
// checked against its SHA-256. Whatever this does not stage (no delta, or
// one that fails to download, apply or match) FetchObjects fetches whole.
#include <set>
#include <string>

#include "manifest/release_manifest.h"
#include "platform/seam.h"
#include "update/launcher_state.h"
#include "update/manifest_plan.h"
#include "update/mirror_downloads.h"

// The delta of `file` from the content `installedSha256`, if listed.
const ManifestDelta* DeltaFrom(const ManifestFile& file, const std::string& installedSha256);

// Stages by deltas what it can of `plan` (contents not staged yet, each
// by a delta smaller than its object), from `sources` and a few at once
// within the rate limit as objects are, and counts in plan.bytesToFetch the delta instead of the
// object of each content it staged. The status line shows the bytes fetched
// of those to fetch. Each failure is logged with the delta's address, "the
// delta failed (<reason>), fetching the whole file". Deltas are taken only
// from the deltas/ folder beside the site's objects/, where every mirror
// keeps them too. Returns the contents it staged (each checked as it was
// applied).
std::set<std::string> StageFromDeltas(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                     const ReleaseManifest& newest, ManifestPlan& plan);
