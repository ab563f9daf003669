#pragma once
// A staged rollout: the newest release offered to a share of the players
// first, in percent. The share stands on the newest entry's GameVersion
// element as the Rollout attribute, a name no launcher of the original's
// line reads, so they take the entry as before; launchers that read it
// keep the entry before it as their newest unless their game directory's
// bucket (0 to 99) is below the share. Every player has it at 100, which
// the document then leaves unsaid.
#include <optional>
#include <string>

#include "server_document.h"

constexpr int kWholeRollout = 100;

// "--rollout PERCENT": a whole number from 0 to 100. False with the reason.
bool ParseRolloutShare(const std::string& text, std::optional<int>& share, std::string& error);

// Gives the entry's element `share` (replacing one it has).
void SetRolloutShare(DocumentAttributes& version, int share);

// The document `text` with its newest entry's share set to `share`. False
// with the reason when it lists no entry.
bool WithRolloutShare(const std::string& text, int share, std::string& changed, std::string& error);
