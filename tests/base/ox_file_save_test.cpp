// What saving and removing do to the files around them: a save replaces
// only the file's content, a tree removal only the tree.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base_test_support.h"
#include "support/temp_dir.h"

using namespace ox_base;
namespace fs = std::filesystem;

namespace {

unsigned ModeOf(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// The names in the current directory.
std::set<std::string> Names() {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(".")) names.insert(entry.path().filename().string());
  return names;
}

// Files may not grow past `limit` bytes while it lives: a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit tiny = saved_;
    tiny.rlim_cur = limit;
    previous_ = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

}  // namespace

TEST(ReplaceContents, KeepsTheModeAndWritesThroughLinks) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  WriteFile("rh_game.ini", "old");
  ::chmod("rh_game.ini", 0640);
  EXPECT_TRUE(fs->ReplaceContents("rh_game.ini", "new", false));
  EXPECT_EQ(ReadFile("rh_game.ini"), "new");
  EXPECT_EQ(ModeOf("rh_game.ini"), 0640u);

  // A game directory whose settings live elsewhere, linked in.
  fs::create_directories("shared");
  WriteFile("shared/updatecfg.xml", "old");
  ::chmod("shared/updatecfg.xml", 0604);
  fs::create_symlink("shared/updatecfg.xml", "updatecfg.xml");
  fs::create_symlink("updatecfg.xml", "chain.xml");
  EXPECT_TRUE(fs->ReplaceContents("CHAIN.xml", "through two links", false));
  EXPECT_TRUE(fs::is_symlink("updatecfg.xml"));
  EXPECT_TRUE(fs::is_symlink("chain.xml"));
  EXPECT_EQ(ReadFile("shared/updatecfg.xml"), "through two links");
  EXPECT_EQ(ModeOf("shared/updatecfg.xml"), 0604u);
  fs::create_symlink("shared/missing.xml", "dangling.xml");
  EXPECT_TRUE(fs->ReplaceContents("dangling.xml", "created", false));
  EXPECT_TRUE(fs::is_symlink("dangling.xml"));
  EXPECT_EQ(ReadFile("shared/missing.xml"), "created");

  // A new file gets the mode files are created with.
  const mode_t mask = ::umask(022);
  EXPECT_TRUE(fs->ReplaceContents("new.txt", "n", false));
  ::umask(mask);
  EXPECT_EQ(ModeOf("new.txt"), 0644u);
  EXPECT_EQ(Names(), (std::set<std::string>{"rh_game.ini", "shared", "updatecfg.xml", "chain.xml", "dangling.xml",
                                            "new.txt"}))
      << "no temporary file stays behind";
}

TEST(ReplaceContents, AFileThatMayNotBeWrittenStaysAsItIs) {
  CurrentTempDir dir;
  ox_test::BaseLogCapture capture;
  OxFile* fs = OxBase::GetFileSystem();
  WriteFile("cfg.ini", "kept");
  ::chmod("cfg.ini", 0444);
  EXPECT_FALSE(fs->ReplaceContents("cfg.ini", "lost", false));
  EXPECT_EQ(ReadFile("cfg.ini"), "kept");
  EXPECT_EQ(capture.Messages().back(), "OxFile: Saving cfg.ini failed: it is read-only\n");
  // Forcing clears the read-only attribute of the user's own file.
  EXPECT_TRUE(fs->ReplaceContents("cfg.ini", "forced", true));
  EXPECT_EQ(ReadFile("cfg.ini"), "forced");
  EXPECT_EQ(ModeOf("cfg.ini"), 0644u);

  fs::create_directory("folder.xml");
  EXPECT_FALSE(fs->ReplaceContents("folder.xml", "x", true));
  EXPECT_TRUE(fs::is_directory("folder.xml"));
  EXPECT_EQ(Names(), (std::set<std::string>{"cfg.ini", "folder.xml"})) << "no temporary file stays behind";
}

TEST(ReplaceContents, AFullDiskLeavesTheOldFile) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  WriteFile("servercfg.xml", "old content");
  bool saved = true;
  {
    FileSizeLimit full(16);
    saved = fs->ReplaceContents("servercfg.xml", std::string(100, 'x'), false);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadFile("servercfg.xml"), "old content");
  EXPECT_EQ(Names(), std::set<std::string>{"servercfg.xml"});
}

TEST(DeleteTree, NamesAreNeverFollowedOutOfTheTree) {
  TempDir outside;
  WriteFile(outside.Path() / "victim", "precious");
  fs::create_directories(outside.Path() / "game/cache/sub");
  const CurrentDirectory game(outside.Path() / "game");
  // Legal names here, paths on the original platform.
  WriteFile("cache/sub/..\\..\\..\\victim", "bait");
  WriteFile("cache/..\\victim", "bait");
  WriteFile("cache/\xff-no-code-page-form", "x");
  fs::create_directory("cache/sub/..\\..\\dir");

  EXPECT_TRUE(OxBase::GetFileSystem()->DeleteDirectory("CACHE", true, true));
  EXPECT_FALSE(fs::exists("cache"));
  EXPECT_EQ(ReadFile(outside.Path() / "victim"), "precious");
  EXPECT_TRUE(fs::exists(outside.Path() / "game"));
  EXPECT_TRUE(OxBase::GetFileSystem()->DeleteDirectory("cache", false, true));
  EXPECT_FALSE(OxBase::GetFileSystem()->DeleteDirectory("cache", true, true));
}

TEST(OxFileDirectories, TreeRemovalLeavesLinkedDirectoriesAlone) {
  CurrentTempDir dir;
  OxFile* files = OxBase::GetFileSystem();
  std::filesystem::create_directories("kept");
  std::filesystem::create_directories("cache");
  WriteFile("kept/save.dat", "progress");
  WriteFile("cache/a.txt", "a");
  std::filesystem::create_directory_symlink("../kept", "cache/link");
  std::vector<std::string> list;
  files->FindFiles(list, "cache\\*", false, true);
  EXPECT_TRUE(list.empty()) << "a link is an entry of its own, not a directory to walk";
  EXPECT_TRUE(files->DeleteDirectory("cache", true, true));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("cache")));
  EXPECT_EQ(ReadFile("kept/save.dat"), "progress") << "the link's target is not emptied";

  ::chmod("kept/save.dat", 0444);
  ASSERT_EQ(::symlink("kept/save.dat", "cache2"), 0);
  EXPECT_TRUE(files->Delete("cache2", true, true));
  struct stat info;
  ASSERT_EQ(::stat("kept/save.dat", &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0444u) << "forcing the removal of a link leaves its target's mode alone";
}
