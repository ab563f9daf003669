#pragma once
// Where an update straight to the newest release keeps what it fetched
// until the install: one file per content under kStageFolder, named by the
// content's SHA-256. A killed run's staged files are taken again by the
// next one when they hold their content; the install moves them into place
// and the folder goes once the update is recorded.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/seam.h"
#include "update/launcher_state.h"
#include "update/manifest_plan.h"
#include "update/mirror_downloads.h"

constexpr char kStageFolder[] = "farLaunch.stage";

// The staged content `sha256` (code page name, below kStageFolder).
std::string StagedName(const std::string& sha256);

// "fetched/total MB" with one decimal; in KB for updates below a megabyte.
std::string FetchedOfTotal(std::uint64_t fetched, std::uint64_t total);

// True when the staged file holds the record's content.
bool HoldsStagedContent(const ManifestFile& record);

// Decodes `download` (code page name), the record's object or, with
// `deltaSource`, a delta to its content from that content, into the
// record's staged file, and removes it. False with the reason.
bool StageDownload(const ManifestFile& record, const std::string& download, const std::string* deltaSource,
                   std::string& problem);

// Fetches the objects of `plan` from `sources`, a few at once over
// kept-alive connections within the rate limit for all of them
// (DownloadAll), each checked against its stored size and SHA-256 while it
// arrives, decoded within its content's size and checked against the
// content's SHA-256, and staged. Contents staged before are taken as they
// are (those in `checked`, staged and checked by this run, without being
// hashed again); whatever else the folder holds goes (partial downloads of the plan's
// objects excepted). The status line shows the bytes fetched of those
// to fetch (plan.bytesToFetch, what is staged counted as fetched) and the
// files arrived, the bar goes over all of them. False with the failing
// object's last address and reason once every source failed for it.
bool FetchObjects(LauncherState& state, platform::Platform& platform, SiteSources& sources,
                  const ManifestPlan& plan, const std::set<std::string>& checked, std::string& address,
                  std::string& problem);

// Removes the stage folder and what it holds.
void RemoveStage();
