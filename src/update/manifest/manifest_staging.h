#pragma once
// Where an update straight to the newest release keeps what it fetched
// until the install: one file per content under kStageFolder, named by the
// content's SHA-256. A killed run's staged files are taken again by the
// next one when they hold their content; the install moves them into place
// and the folder goes once the update is recorded.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"
#include "update/manifest/manifest_plan.h"
#include "update/manifest/stage_folder.h"
#include "update/site/mirror_downloads.h"

// "fetched/total MB" with one decimal; in KB for updates below a megabyte.
std::string FetchedOfTotal(std::uint64_t fetched, std::uint64_t total);

// True when the staged file holds the record's content.
bool HoldsStagedContent(const ManifestFile& record);

// Fetches and stages the contents of `plan` not staged yet, from
// `sources`, a few at once over kept-alive connections within the rate
// limit for all of them (DownloadAll): by a delta where the newest manifest
// lists one from the player's file (DeltaFrom) smaller than the object,
// else the object; each download checked against its stored size and
// SHA-256 while it arrives, and staged (decoded or applied, within the
// content's size and checked against its SHA-256) as it arrives, while the
// rest still download. A delta that fails is logged ("the delta failed
// (<reason>), fetching the whole file") and its object fetched after. Staged
// contents are taken as they are; whatever else the folder holds goes
// (partial downloads of the plan's contents excepted). plan.bytesToFetch
// counts each delta fetched in place of its object. The status line shows
// the bytes fetched of those to fetch (what is staged counted as fetched)
// and the files arrived; the bar goes over all of them. False with the
// failing object's last address and reason once every source failed for it.
bool FetchChangedFiles(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                       const ReleaseManifest& newest, ManifestPlan& plan, std::string& address, std::string& problem);