#pragma once
// A built site sent to an rsync destination ("host:folder") in publishing
// order, by the rsync program.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "publish/publishing_order.h"

// Whether `destination` names an rsync destination ("host:folder",
// "user@host:folder", "rsync://..."), not a local folder ("C:\\site" is one).
bool IsRsyncDestination(const std::string& destination);

// Runs rsync once per batch, in order, with --delay-updates: rsync writes
// each file of the batch under a temporary name and renames them all at
// the batch's end, so that no batch shows before the one it needs, and the
// document shows last. Files named by their content that the destination
// holds are not sent again (--ignore-existing); the others are sent only
// when their size or time differs (rsync's own check, with --times).
// False with the reason when rsync is not installed or a run fails; the
// batches after it are not sent.
bool PublishWithRsync(const std::filesystem::path& site, const std::vector<PublishingBatch>& batches,
                      const std::string& destination, std::ostream& out, std::string& error);
