#pragma once
// The steps both update workers take: fetching an item, checking the room
// to unpack, ending on a failure and publishing the end.
#include <cstdint>
#include <string>

#include "net/http_downloader.h"
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"
#include "update/gamedir/patch_transaction.h"
#include "update/launcher_messages.h"

// One failure for the log: what failed, the address it came from (may be
// empty), and why.
struct Failure {
  std::string what;
  std::string address;
  std::string reason;
};

// Downloads an item or package; the window gets its percentages. The file
// must be what `check` announces; a verified update refuses a file without
// a Sha256 before fetching it. A partial download is gone on from; each
// retry is logged with the failure before it and shown on the status line.
// With `keepComplete` the finished file keeps its sidecar, so that a run
// cut off after it arrived does not fetch it again
// (DownloadOptions::keepComplete).
DownloadResult FetchFile(LauncherState& state, platform::Platform& platform, const std::string& address,
                         const std::string& localName, const FileCheck& check, bool keepComplete = false);

// True when the volume has room for `bytes` of unpacked content plus the
// headroom the full install has always kept; otherwise `problem` says how
// much is missing. An unknown free space counts as room.
bool RoomToUnpack(platform::Platform& platform, std::int64_t bytes, std::string& problem);

// When `reason` tells of a disk that is full (or over its quota), or the
// game's volume has next to nothing left: the message for a full disk,
// with the log's words added to `reason`. Else `message`.
LauncherText MessageFor(platform::Platform& platform, LauncherText message, std::string& reason);

// Ends the update at a failure: puts back what the run installed, deletes
// the downloads, logs the failure, shows the fixed message (MessageFor)
// and ends the process. Never called while the worker holds an unpack's
// mark.
[[noreturn]] void FailUpdate(LauncherState& state, platform::Platform& platform, PatchTransaction& run,
                             LauncherText message, const Failure& failure);

// Publishes how the update ended and wakes the window to show it.
void Complete(LauncherState& state, platform::Platform& platform);

// An update that stops for good without completing ends the run when the
// command line asked for it; the message has been shown by then.
void EndIfAsked(const LauncherState& state, platform::Platform& platform);
