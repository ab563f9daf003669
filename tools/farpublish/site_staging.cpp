#include "site_staging.h"

#include <random>
#include <system_error>

namespace fs = std::filesystem;

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
  staged_.push_back(name);
  std::error_code failure;
  // A failure here shows when the file is written.
  fs::create_directories((folder_ / name).parent_path(), failure);
  return folder_ / name;
}

bool SiteStaging::Publish(const std::vector<std::string>& obsolete, std::string& error) {
  std::error_code failure;
  fs::create_directory(site_, failure);
  if (failure) {
    error = "cannot create " + site_.string() + ": " + failure.message();
    return false;
  }
  for (const std::string& name : staged_) {
    fs::create_directories((site_ / name).parent_path(), failure);
    if (!failure) fs::rename(folder_ / name, site_ / name, failure);
    if (failure) {
      error = "cannot move " + name + " into " + site_.string() + ": " + failure.message();
      return false;
    }
  }
  for (const std::string& name : obsolete) {
    if (!fs::remove(site_ / name, failure) && failure) {
      error = "cannot delete " + (site_ / name).string() + ": " + failure.message();
      return false;
    }
  }
  return true;
}
