// The record of installed files: what it says after a round trip through
// the game directory, when it stops vouching for a file, and text that is
// no record. And the hashing that fills it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/game_directory.h"
#include "trust/sha256.h"
#include "update/gamedir/installed_files.h"
#include "update/manifest/file_hashing.h"

namespace {

namespace fs = std::filesystem;

const std::string kOldHash(64, 'a');

std::string HashOf(const std::string& content) {
  Sha256 hash;
  hash.Update(content);
  return hash.FinishHex();
}

// Records the file as it is now, under the hash `sha256`.
void RecordAsIs(InstalledFiles& record, const std::string& name, const std::string& sha256) {
  record.Record(name, *StampOf(GameFilePath(name)), sha256);
}

void SetModified(const GameDirectory& dir, const std::string& name, fs::file_time_type time) {
  fs::last_write_time(dir.Path() / name, time);
}

}  // namespace

TEST(InstalledFiles, VouchesForAFileOnlyWhileItsSizeAndTimeAreTheRecordedOnes) {
  GameDirectory dir;
  const std::string odd = "data/a\tb%c 中文.dat";
  dir.Write(odd, "odd");
  dir.Write("same-size.dat", "12345");
  dir.Write("grown.dat", "12345");
  dir.Write("gone.dat", "x");
  dir.Write("unrecorded.dat", "x");
  {
    InstalledFiles record;
    for (const std::string& name : {odd, std::string("same-size.dat"), std::string("grown.dat"), std::string("gone.dat")}) {
      RecordAsIs(record, name, kOldHash);
    }
    std::string reason;
    ASSERT_TRUE(record.Save(reason)) << reason;
  }
  // Rewritten with the same size but a later time; rewritten longer at the
  // very time it had; deleted.
  const fs::file_time_type before = fs::last_write_time(dir.Path() / "grown.dat");
  dir.Write("same-size.dat", "54321");
  SetModified(dir, "same-size.dat", before + std::chrono::seconds(1));
  dir.Write("grown.dat", "123456");
  SetModified(dir, "grown.dat", before);
  fs::remove(dir.Path() / "gone.dat");

  std::string problem;
  const InstalledFiles loaded = InstalledFiles::Load(problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(loaded.UnchangedContent(odd), kOldHash);
  EXPECT_EQ(loaded.UnchangedContent("same-size.dat"), std::nullopt);
  EXPECT_EQ(loaded.UnchangedContent("grown.dat"), std::nullopt);
  EXPECT_EQ(loaded.UnchangedContent("gone.dat"), std::nullopt);
  EXPECT_EQ(loaded.UnchangedContent("unrecorded.dat"), std::nullopt);
}

TEST(InstalledFiles, TextThatIsNoRecordLeavesEverythingUnknown) {
  GameDirectory dir;
  dir.Write("a.dat", "a");
  InstalledFiles record;
  RecordAsIs(record, "a.dat", kOldHash);
  const std::string good = record.Text();
  const std::string header = good.substr(0, good.find('\n') + 1);
  const std::string line = good.substr(header.size());
  std::string reason;
  ASSERT_TRUE(InstalledFiles().Read(good, reason)) << reason;

  for (const std::string& bad : {std::string(), std::string("farLaunch files 2\n") + line, good.substr(0, good.size() - 1),
                                 header + "a.dat\t1\n", header + "a.dat\t-1\t5\t" + kOldHash + "\n",
                                 header + "a.dat\t1\t5\t" + std::string(64, 'A') + "\n",
                                 header + "a%zz.dat\t1\t5\t" + kOldHash + "\n",
                                 header + "a.dat\t1\t99999999999999999999\t" + kOldHash + "\n",
                                 std::string("\0\xff\n", 3)}) {
    InstalledFiles read;
    RecordAsIs(read, "a.dat", kOldHash);
    EXPECT_FALSE(read.Read(bad, reason)) << bad;
    EXPECT_NE(reason, "");
    EXPECT_EQ(read.UnchangedContent("a.dat"), std::nullopt) << bad;
  }

  dir.Write(kInstalledFilesRecord, header + "garbled\n");
  std::string problem;
  EXPECT_EQ(InstalledFiles::Load(problem).UnchangedContent("a.dat"), std::nullopt);
  EXPECT_NE(problem.find(kInstalledFilesRecord), std::string::npos) << problem;
}

TEST(FileHashing, HashesEveryFileOnSeveralThreadsAndTellsMissingFromUnreadable) {
  GameDirectory dir;
  std::vector<std::string> names;
  std::vector<std::string> contents;
  for (int i = 0; i < 40; ++i) {
    names.push_back("f" + std::to_string(i));
    contents.push_back(std::string(static_cast<std::size_t>(i) * 7919, static_cast<char>('a' + i % 26)));
    dir.Write(names.back(), contents.back());
  }
  fs::create_directory(dir.Path() / "folder");
  names.push_back("folder");
  names.push_back("missing");

  const std::vector<HashedFile> found = HashFiles(names, 3);
  ASSERT_EQ(found.size(), names.size());
  for (std::size_t i = 0; i < contents.size(); ++i) {
    ASSERT_EQ(found[i].outcome, HashedFile::Outcome::Hashed) << names[i];
    EXPECT_EQ(found[i].sha256, HashOf(contents[i])) << names[i];
    EXPECT_EQ(found[i].size, contents[i].size());
    EXPECT_EQ(found[i].stamp, *StampOf(names[i]));
  }
  EXPECT_EQ(found[40].outcome, HashedFile::Outcome::Unreadable);
  EXPECT_NE(found[40].problem, "");
  EXPECT_EQ(found[41].outcome, HashedFile::Outcome::Missing);
}
