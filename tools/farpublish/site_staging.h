#pragma once
// A temporary folder beside SITE in which a build writes everything new, so
// that SITE changes only once all of it is ready.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class SiteStaging {
 public:
  // Creates the folder ".<site name>.farpublish-<random>" beside `site`.
  // None with the reason when that fails (SITE's parent must exist).
  static std::unique_ptr<SiteStaging> Create(const std::filesystem::path& site, std::string& error);

  // Removes the folder with whatever is still in it.
  ~SiteStaging();
  SiteStaging(const SiteStaging&) = delete;
  SiteStaging& operator=(const SiteStaging&) = delete;

  // Where the new file `name` ("objects/ab/...": folders are made) is to be
  // written; Publish moves it into SITE. Files are moved in the order they
  // were named here.
  std::filesystem::path Stage(const std::string& name);

  // Moves the staged files into SITE (created when missing) by renaming,
  // each replacing a file of its name, and then deletes `obsolete` names
  // from SITE. False with the reason when a move fails.
  bool Publish(const std::vector<std::string>& obsolete, std::string& error);

 private:
  SiteStaging(std::filesystem::path site, std::filesystem::path folder);

  std::filesystem::path site_;
  std::filesystem::path folder_;
  std::vector<std::string> staged_;
};
