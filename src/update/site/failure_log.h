#pragma once
// Why the update failed, for support staff who ask a player for it: one
// line per failure in farLaunch.log in the game directory (bounded, the
// previous file kept as farLaunch.log.1), written through the base
// library's logging. The file takes every ERROR line of the base library
// too (a refused file name, a file that cannot be opened), so the lines of
// the launcher and of its base library stand in one place. A console run
// also prints them (the front end's echo). The window keeps showing its
// fixed messages; this is the reason behind them.
#include <string>

#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"

constexpr char kFailureLogName[] = "farLaunch.log";

// Attaches farLaunch.log, and `echo` when there is one, to the base
// library's root log for ERROR and worse. After oxBaseInit.
void OpenFailureLog(const ox_base::SmartPtr<ox_base::OxLogOutput>& echo);

// One failure: what failed (an item, the server document, a file), the
// address it came from (may be empty), and why, in words ("HTTP 404",
// "CRC mismatch in data/map.dat"). Texts in the launcher's code page. From
// any thread; nothing is written before OpenFailureLog.
void LogFailure(const std::string& what, const std::string& address, const std::string& reason);
