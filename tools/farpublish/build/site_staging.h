#pragma once
// A temporary folder beside SITE in which a build writes everything new, so
// that SITE changes only once all of it is ready, and goes back to what it
// was when moving it in fails halfway.
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

class SiteStaging {
 public:
  // Creates the folder ".<site name>.farpublish-<random>" beside `site`.
  // None with the reason when that fails (SITE's parent must exist).
  static std::unique_ptr<SiteStaging> Create(const std::filesystem::path& site, std::string& error);

  // Removes the folder with whatever is still in it: what was never moved
  // in, and the files of SITE that Publish replaced or deleted.
  ~SiteStaging();
  SiteStaging(const SiteStaging&) = delete;
  SiteStaging& operator=(const SiteStaging&) = delete;

  // Where the new file `name` ("objects/ab/...": folders are made) is to be
  // written; Publish moves it into SITE. Files are moved in the order they
  // were first named here; a name given again is the same file.
  std::filesystem::path Stage(const std::string& name);

  // Moves the staged files into SITE (created when missing) by renaming,
  // each replacing a file of its name, and then deletes `obsolete` names
  // from SITE. False with the reason when a move fails, or SITE holds
  // something other than a file under a staged name; SITE is then put back
  // as it was.
  bool Publish(const std::vector<std::string>& obsolete, std::string& error);

 private:
  // One rename done in SITE, undone in reverse order when a later one fails.
  struct Move {
    std::filesystem::path from;
    std::filesystem::path to;
  };

  SiteStaging(std::filesystem::path site, std::filesystem::path folder);
  bool MoveIn(const std::string& name, std::string& error);
  bool MoveAside(const std::string& name, std::string& error);
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error);
  bool MakeSiteFolders(const std::filesystem::path& folder, std::string& error);
  // Undoes every move and removes the folders Publish made; false with the
  // reason when something could not be put back.
  bool Undo(std::string& error);

  std::filesystem::path site_;
  std::filesystem::path folder_;
  std::vector<std::string> staged_;
  std::set<std::string> stagedNames_;
  std::vector<Move> moves_;
  // In the order they were made, outermost first.
  std::vector<std::filesystem::path> madeFolders_;
};
