// Installing an archive with several writer threads: the outcome is that of
// writing the entries one after another, whatever finishes first.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/game_directory.h"
#include "support/temp_dir.h"
#include "update/gamedir/patch_transaction.h"
#include "update/site/archive_install.h"
#include "update/site/entry_conflicts.h"
#include "update/update_files.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kChunk = 16384;
constexpr std::size_t kWriters = 4;

// `size` bytes of text that deflates about as game data does, different
// for every seed.
std::string Text(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {"harbour ", "lighthouse ", "map ", "level ", "quest ", "sword ", "0417 "};
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) text += kWords[random() % 7];
  text.resize(size);
  return text;
}

// Content as a failure message shows it: long content by size and hash.
std::string Shown(const std::string& content) {
  if (content.size() <= 64) return content;
  return "<" + std::to_string(content.size()) + " bytes #" + std::to_string(std::hash<std::string>()(content)) + ">";
}

class ParallelInstall : public ::testing::Test {
 protected:
  ParallelInstall() {
    how.writers = kWriters;
    how.asideName = [this] { return "tmpFile" + std::to_string(asideCount++); };
  }

  ArchiveInstallResult Install(const std::string& zip) {
    WriteFile(scratch.File("patch.zip"), zip);
    return InstallArchive(scratch.File("patch.zip"), how, progress);
  }

  // The files below `path` with their content as shown: a game directory
  // as it was prepared, to be found again after a roll-back.
  static std::map<std::string, std::string> Listing(const fs::path& path) {
    std::map<std::string, std::string> listing = Tree(path);
    for (auto& [name, content] : listing) content = Shown(content);
    return listing;
  }
  std::map<std::string, std::string> Game() const { return Listing(dir.Path()); }

  // The archive lies beside the game directory.
  TempDir scratch;
  GameDirectory dir{scratch.Path() / "game"};
  CurrentDirectory insideTheGame{dir.Path()};
  UpdateProgress progress;
  ArchiveInstall how;
  int asideCount = 0;
};

TEST_F(ParallelInstall, EveryChunkOfEveryEntryCountsExactlyOnce) {
  // Empty, chunk-sized and odd-sized entries, decoded whole, and one too
  // large for a writer's share of the memory, inflated chunk by chunk.
  const std::vector<std::size_t> sizes = {0, 1, 16383, 16384, 16385, 40000, 300000, 777777, 6 << 20, 5, 123456};
  std::vector<std::pair<std::string, std::string>> entries;
  std::int64_t expected = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    entries.emplace_back("data/part" + std::to_string(i) + ".dat", Text(sizes[i], static_cast<unsigned>(i)));
    expected += (static_cast<std::int64_t>(sizes[i] + kChunk - 1) / kChunk + 1) * kChunk;
  }
  progress.extractedBytes = 1000;

  const ArchiveInstallResult result = Install(MakeOrderedZip(entries));

  ASSERT_EQ(result.outcome, ArchiveOutcome::Installed) << result.reason;
  EXPECT_EQ(progress.extractedBytes.load(), 1000 + expected);
  ASSERT_EQ(result.entries.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_TRUE(result.entries[i].written) << entries[i].first;
    EXPECT_EQ(Shown(dir.Read(entries[i].first)), Shown(entries[i].second)) << entries[i].first;
  }
}

TEST_F(ParallelInstall, TheSameFileTwiceEndsWithTheLaterEntryInAnyLetterCase) {
  dir.Write("Readme.txt", "original");
  dir.Write("data/Map.dat", "old map");
  const std::map<std::string, std::string> before = Game();
  // Large early entries and small later ones: unordered, a later one would
  // be done first and then overwritten.
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"readme.txt", Text(3 << 20, 1)},  {"data/new.dat", Text(2 << 20, 2)}, {"README.TXT", "second"},
      {"data/map.dat", Text(1 << 20, 3)}, {"DATA/New.dat/x", "under a file"}, {"Data/MAP.DAT", "map 2"},
      {"readme.TXT", "third"}};
  const std::string zip = MakeOrderedZip(entries);

  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    asideCount = 0;
    const ArchiveInstallResult result = Install(zip);

    EXPECT_EQ(Shown(dir.Read("Readme.txt")), Shown("third"));
    EXPECT_EQ(Shown(dir.Read("data/Map.dat")), Shown("map 2"));
    EXPECT_EQ(Shown(dir.Read("data/new.dat")), Shown(entries[1].second));
    // As one after another: the folder could not be made where a file is.
    EXPECT_EQ(result.outcome, ArchiveOutcome::Incomplete);
    EXPECT_EQ(result.reason, "Not a directory writing DATA/New.dat/x");
    // Each entry moved its predecessor aside; no second spelling appeared.
    ASSERT_EQ(result.entries.size(), entries.size());
    EXPECT_EQ(Shown(dir.Read(result.entries[0].movedAsideAs)), Shown("original"));
    EXPECT_EQ(Shown(dir.Read(result.entries[2].movedAsideAs)), Shown(entries[0].second));
    EXPECT_EQ(Shown(dir.Read(result.entries[6].movedAsideAs)), Shown("second"));
    EXPECT_EQ(Shown(dir.Read(result.entries[5].movedAsideAs)), Shown(entries[3].second));
    for (const InstalledEntry& entry : result.entries) {
      EXPECT_TRUE(entry.writtenAs == "Readme.txt" || entry.writtenAs.rfind("data/", 0) == 0) << entry.writtenAs;
    }

    PutBack(result);
    EXPECT_EQ(Game(), before);
  }
}

TEST_F(ParallelInstall, ACancelStopsEveryWriterWithinAChunkAndIsPutBack) {
  std::vector<std::pair<std::string, std::string>> entries;
  // Entries too large to be decoded whole with four writers: inflated
  // chunk by chunk, they take a while.
  for (int i = 0; i < 8; ++i) {
    entries.emplace_back("data/level" + std::to_string(i) + ".dat", Text(4 << 20, static_cast<unsigned>(i)));
    dir.Write("data/level" + std::to_string(i) + ".dat", "installed " + std::to_string(i));
  }
  const std::map<std::string, std::string> before = Game();
  // The cancel arrives while the reader's thread hands over entry 6, once
  // the writers are in the middle of earlier entries.
  std::int64_t seenAtCancel = 0;
  how.asideName = [&] {
    if (asideCount == 6) {
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (progress.extractedBytes < (1 << 20) && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
      }
      progress.cancelInstall = true;
      seenAtCancel = progress.extractedBytes.load();
    }
    return "tmpFile" + std::to_string(asideCount++);
  };

  const ArchiveInstallResult result = Install(MakeOrderedZip(entries));

  EXPECT_EQ(result.outcome, ArchiveOutcome::Cancelled);
  EXPECT_EQ(result.reason, "cancelled");
  EXPECT_EQ(result.entries.size(), 7u) << "no entry is started after the cancel";
  EXPECT_LE(progress.extractedBytes.load(), seenAtCancel + static_cast<std::int64_t>(kWriters) * kChunk) << seenAtCancel;
  PutBack(result);
  EXPECT_EQ(Game(), before);
}

TEST_F(ParallelInstall, AFailingEntryAmongManyIsNamedAndTheOthersAreWritten) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < 40; ++i) {
    const std::string name = i == 25 ? "../escaped.txt" : "data/f" + std::to_string(i) + ".dat";
    entries.emplace_back(name, Text(20000 + 5000 * i, static_cast<unsigned>(i)));
  }
  const std::string zip = WithEntryField(MakeOrderedZip(entries), 17, EntryField::Crc, 0x1234);
  dir.Write("data/f17.dat", "installed 17");
  WriteFile(scratch.File("patch.zip"), zip);
  // The game directory and what lies beside it.
  const std::map<std::string, std::string> before = Listing(scratch.Path());

  const ArchiveInstallResult result = Install(zip);

  EXPECT_EQ(result.outcome, ArchiveOutcome::Incomplete);
  EXPECT_EQ(result.problems,
            (std::vector<std::string>{"CRC mismatch in data/f17.dat", "../escaped.txt would leave the game directory"}));
  EXPECT_EQ(result.reason, result.problems.front());
  ASSERT_EQ(result.entries.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(result.entries[i].written, i != 17 && i != 25) << i;
    if (i != 17 && i != 25) {
      EXPECT_EQ(Shown(dir.Read(entries[i].first)), Shown(entries[i].second)) << i;
    }
  }
  EXPECT_FALSE(fs::exists(scratch.Path() / "escaped.txt"));

  PatchTransaction run;
  run.Record(result);
  run.RollBack();
  EXPECT_EQ(Listing(scratch.Path()), before);
}

TEST(EntryConflicts, SameFileFoldersAboveAndBelowAndAsideNames) {
  EntryConflicts conflicts;
  using Earlier = std::vector<std::int32_t>;
  EXPECT_EQ(conflicts.Add(0, {"data/map.dat", "tmpFile0"}), Earlier{});
  EXPECT_EQ(conflicts.Add(1, {"readme.txt", "tmpFile1"}), Earlier{});
  EXPECT_EQ(conflicts.Add(2, {"other/a.dat", ""}), Earlier{});
  EXPECT_EQ(conflicts.Add(3, {"DATA\\Map.DAT", "tmpFile3"}), Earlier{0});
  EXPECT_EQ(conflicts.Add(4, {"Data/", ""}), (Earlier{0, 3})) << "a folder waits for what lies below it";
  EXPECT_EQ(conflicts.Add(5, {"data/map.dat/x", ""}), (Earlier{3, 4})) << "and a name below for the folders";
  EXPECT_EQ(conflicts.Add(6, {"TMPFILE1", ""}), Earlier{1}) << "an aside name is a name too";
  EXPECT_EQ(conflicts.Add(7, {".\\readme.txt", "tmpFile7"}), Earlier{1});
  EXPECT_EQ(conflicts.Add(8, {"other//b.dat", ""}), Earlier{});
  EXPECT_EQ(conflicts.Add(9, {"data", ""}), (Earlier{4, 5}));
}

}  // namespace
