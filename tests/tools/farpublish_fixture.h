#pragma once
// Client builds on disk, the built farpublish run on them, and what tests
// read back from the sites it makes.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

struct PublishRun {
  int status;
  std::string out;
  std::string err;
};

struct PublishRunOptions {
  std::string input;                           // standard input
  std::optional<std::string> sourceDateEpoch;  // unset when none
  // Runs as "nobody" when the test runs as root, for whom no file is
  // unreadable.
  bool unprivileged = false;
};

// Runs the built farpublish with these arguments.
PublishRun Farpublish(const std::vector<std::string>& args, const PublishRunOptions& options = {});

// Every file below `folder` by its "/"-separated relative name, with its
// bytes; two snapshots are equal when the trees hold the same bytes.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot SnapshotTree(const std::filesystem::path& folder);

// Names and bytes of an archive's entries in archive order, as the
// launcher's own reader extracts them.
std::vector<std::pair<std::string, std::string>> ArchiveEntries(const std::filesystem::path& archive);

// The attributes of every element named `element` in a plain document,
// in document order, as the launcher's document tree holds them.
std::vector<std::map<std::string, std::string>> ElementAttributes(const std::filesystem::path& document,
                                                                   const std::string& element);

std::string Sha256Of(const std::string& bytes);

// The text in the GBK code page.
std::string Gbk(const std::string& utf8);

// VERSIONS and SITE side by side in a temporary folder.
class PublishWorkspace {
 public:
  static constexpr char kBaseUrl[] = "http://127.0.0.1:8080/site";

  std::filesystem::path Versions() const { return dir_.Path() / "VERSIONS"; }
  std::filesystem::path Site() const { return dir_.Path() / "SITE"; }
  std::filesystem::path Path() const { return dir_.Path(); }

  // Writes a file of the build folder `build` (for example "0002-1.0.2"),
  // making the folders above it.
  void Write(const std::string& build, const std::string& name, const std::string& bytes) const;
  // Starts build `to` as a copy of build `from`.
  void Copy(const std::string& from, const std::string& to) const;

  // farpublish build VERSIONS SITE --base-url kBaseUrl, then `extra`.
  PublishRun Build(const std::vector<std::string>& extra = {}, const PublishRunOptions& options = {}) const;

 private:
  TempDir dir_;
};

// Two builds: 0001 with client.exe and data/a.txt, 0002 adding data/b.txt.
class TwoBuildsTest : public ::testing::Test {
 protected:
  void SetUp() override;

  PublishWorkspace site;
};
