#pragma once
// Sends a crash dump the game left behind ("game.dmp" in the current
// directory) to the dump collection server and removes it locally once it
// was sent, so that each dump is sent at most once and none is lost.
#include <string>

// `port` 0 means the FTP default port. Returns "" except when the local dump
// could not be opened or read; then the reason (at most 253 characters).
// A dump that was not sent (unreachable server, refused transfer, unreadable
// file) is kept as "game.dmp" for the next call (and the failure logged),
// unless the game has written a new "game.dmp" meanwhile; one above 150 000
// bytes is deleted unsent. A dump left under its upload name by a run that
// ended mid-transfer is sent (or kept) under that name first.
std::string UploadCrashDump(const std::string& server, int port);
