#include "build/site_staging.h"

#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The staging folder's parts: what moves into SITE, and what SITE held
// under the names replaced or deleted, kept until the build is done.
constexpr char kNewFiles[] = "new";
constexpr char kOldFiles[] = "old";

}  // namespace

std::unique_ptr<SiteStaging> SiteStaging::Create(const fs::path& site, std::string& error) {
  std::random_device random;
  std::error_code failure;
  // A site may go into a folder that does not exist yet (out/site).
  if (!site.parent_path().empty()) fs::create_directories(site.parent_path(), failure);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path folder =
        site.parent_path() / ("." + site.filename().string() + ".farpublish-" + std::to_string(random()));
    if (fs::create_directory(folder, failure)) return std::unique_ptr<SiteStaging>(new SiteStaging(site, folder));
    if (failure) break;
  }
  error = "cannot make a temporary folder beside " + site.string() + (failure ? ": " + failure.message() : "");
  return nullptr;
}

SiteStaging::SiteStaging(fs::path site, fs::path folder) : site_(std::move(site)), folder_(std::move(folder)) {}

SiteStaging::~SiteStaging() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

fs::path SiteStaging::Stage(const std::string& name) {
  const fs::path staged = folder_ / kNewFiles / name;
  if (!stagedNames_.insert(name).second) return staged;
  staged_.push_back(name);
  std::error_code failure;
  // A failure here shows when the file is written.
  fs::create_directories(staged.parent_path(), failure);
  return staged;
}

bool SiteStaging::Publish(const std::vector<std::string>& obsolete, std::string& error) {
  bool moved = MakeSiteFolders(site_, error);
  for (auto name = staged_.begin(); moved && name != staged_.end(); ++name) moved = MoveIn(*name, error);
  for (auto name = obsolete.begin(); moved && name != obsolete.end(); ++name) moved = MoveAside(*name, error);
  if (moved) return true;
  std::string undoError;
  if (!Undo(undoError)) error += "; " + site_.string() + " could not be put back as it was: " + undoError;
  return false;
}

bool SiteStaging::MoveIn(const std::string& name, std::string& error) {
  return MoveAside(name, error) && MakeSiteFolders((site_ / name).parent_path(), error) &&
         Rename(folder_ / kNewFiles / name, site_ / name, error);
}

// A file of SITE under `name` goes into the staging folder, where it can
// come back from; nothing happens when there is none.
bool SiteStaging::MoveAside(const std::string& name, std::string& error) {
  std::error_code failure;
  const fs::file_status status = fs::symlink_status(site_ / name, failure);
  if (!fs::exists(status)) return true;
  if (!fs::is_regular_file(status)) {
    error = (site_ / name).string() + " is in the way: it is not a file";
    return false;
  }
  const fs::path aside = folder_ / kOldFiles / name;
  fs::create_directories(aside.parent_path(), failure);
  if (failure) {
    error = "cannot create " + aside.parent_path().string() + ": " + failure.message();
    return false;
  }
  return Rename(site_ / name, aside, error);
}

bool SiteStaging::Rename(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code failure;
  fs::rename(from, to, failure);
  if (failure) {
    error = "cannot move " + from.string() + " to " + to.string() + ": " + failure.message();
    return false;
  }
  moves_.push_back({from, to});
  return true;
}

bool SiteStaging::MakeSiteFolders(const fs::path& folder, std::string& error) {
  std::vector<fs::path> missing;
  std::error_code failure;
  for (fs::path above = folder; !fs::exists(above, failure) && above.has_relative_path();
       above = above.parent_path()) {
    missing.insert(missing.begin(), above);
  }
  for (const fs::path& made : missing) {
    if (!fs::create_directory(made, failure) && failure) {
      error = "cannot create " + made.string() + ": " + failure.message();
      return false;
    }
    madeFolders_.push_back(made);
  }
  return true;
}

bool SiteStaging::Undo(std::string& error) {
  std::error_code failure;
  for (auto move = moves_.rbegin(); move != moves_.rend(); ++move) {
    fs::rename(move->to, move->from, failure);
    if (failure && error.empty()) error = "cannot move " + move->to.string() + " back: " + failure.message();
  }
  for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
    if (!fs::remove(*folder, failure) && failure && error.empty()) {
      error = "cannot remove " + folder->string() + ": " + failure.message();
    }
  }
  moves_.clear();
  madeFolders_.clear();
  return error.empty();
}
