#include "update/staged_rollout.h"

#include <optional>
#include <string>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/diagnostics/ox_random.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {

constexpr int kBuckets = 100;

// The whole number `text` spells, when it is one from 0 to `largest`.
std::optional<int> WholeNumber(const std::string& text, int largest) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int value = std::stoi(text);
  return value <= largest ? std::optional<int>(value) : std::nullopt;
}

// The kept bucket; else one drawn now and kept for the next runs. A bucket
// that cannot be kept still serves this run.
int RolloutBucket() {
  std::string kept;
  const bool found = ReadGameFile(kRolloutBucketFile, kept);
  // A file written by hand may end in a line break.
  while (!kept.empty() && (kept.back() == '\n' || kept.back() == '\r')) kept.pop_back();
  if (found) {
    if (const std::optional<int> bucket = WholeNumber(kept, kBuckets - 1)) return *bucket;
  }
  const int drawn = static_cast<int>(ox_base::OxRandomBelow(kBuckets));
  if (found) LogFailure(kRolloutBucketFile, "", "holds no bucket from 0 to 99: drawn again");
  if (!ox_base::OxBase::GetFileSystem()->ReplaceContents(kRolloutBucketFile, std::to_string(drawn), false)) {
    LogFailure(kRolloutBucketFile, "", "cannot be saved: the next run draws its bucket again");
  }
  return drawn;
}

}  // namespace

void HoldBackStagedRelease(LauncherState& state) {
  if (state.entries.empty() || state.needFullInstall) return;
  const VersionEntry& newest = state.entries.back();
  if (!newest.Rollout || newest.PackageCode == state.PackageCode) return;
  const std::string what = "version " + newest.PackageCode;
  const std::optional<int> share = WholeNumber(*newest.Rollout, kBuckets);
  if (!share) {
    LogFailure(what, state.UpdateServerAddr,
               "Rollout=\"" + *newest.Rollout + "\" is no share from 0 to 100 and is ignored: the version is offered "
               "to every player");
    return;
  }
  if (*share == kBuckets) return;
  const int bucket = RolloutBucket();
  if (bucket < *share) return;
  LogFailure(what, state.UpdateServerAddr,
             "held back: offered to " + std::to_string(*share) + " % of the players first, and this game directory's "
             "bucket is " + std::to_string(bucket));
  state.entries.pop_back();
}
