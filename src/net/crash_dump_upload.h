#pragma once
// Sends a crash dump the game left behind ("game.dmp" in the current
// directory) to the dump collection server and removes it locally, so that
// each dump is sent at most once.
#include <string>

// `port` 0 means the FTP default port. Returns "" except when the local dump
// could not be opened or read; then the reason (at most 253 characters).
// Transfer failures are not reported: the dump is deleted all the same.
std::string UploadCrashDump(const std::string& server, int port);
