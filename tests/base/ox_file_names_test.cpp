// Launcher names against the disk: letter case ignored as on the original
// platform, code-page (GBK) names written and found in UTF-8.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "base_test_support.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"

using namespace ox_base;
namespace fs = std::filesystem;

namespace {

// Every entry below the current directory, "/"-separated, as on disk.
std::vector<std::string> Tree() {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    names.push_back(fs::relative(entry.path(), ".").generic_string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(LetterCase, EachComponentTakesTheSpellingOnDisk) {
  CurrentTempDir dir;
  fs::create_directories("Data/Maps");
  WriteFile("Data/Maps/Harbour.map", "map");

  EXPECT_EQ(NativePath("data\\maps\\HARBOUR.MAP"), "Data/Maps/Harbour.map");
  EXPECT_EQ(NativePath(".\\DATA\\maps"), "./Data/Maps");
  // A new file or folder keeps the spelling it is given, below the folders
  // that exist.
  EXPECT_EQ(NativePath("data\\New\\Deep.txt"), "Data/New/Deep.txt");
  EXPECT_EQ(NativePath("data\\maps\\..\\MAPS\\harbour.map"), "Data/Maps/../Maps/Harbour.map");
  EXPECT_EQ(NativePath(dir.Path().string() + "/DATA/maps"), dir.Path().string() + "/Data/Maps") << "absolute too";

  // Where the disk holds several spellings, the exact one wins, else the
  // first in byte order.
  WriteFile("readme.TXT", "1");
  WriteFile("README.txt", "2");
  EXPECT_EQ(NativePath("readme.TXT"), "readme.TXT");
  EXPECT_EQ(NativePath("ReadMe.txt"), "README.txt");
}

TEST(LetterCase, ListingsKeptForABatchFollowWhatTheBatchDoes) {
  CurrentTempDir dir;
  fs::create_directories("data");
  WriteFile("data/Old.map", "old");
  {
    const OxDirectoryListings batch;
    EXPECT_EQ(NativePath("DATA\\old.MAP"), "data/Old.map");
    // A name resolved as new is taken to be created by the batch.
    EXPECT_EQ(NativePath("data\\New.map"), "data/New.map");
    WriteFile("data/New.map", "new");
    EXPECT_EQ(NativePath("data\\NEW.MAP"), "data/New.map");
    // What has gone since the directory was read is not found.
    fs::rename("data/Old.map", "data/tmpFile0");
    EXPECT_EQ(NativePath("data\\OLD.map"), "data/OLD.map");
  }
  WriteFile("data/Late.map", "");
  EXPECT_EQ(NativePath("data\\late.map"), "data/Late.map") << "afterwards every lookup reads the disk";
}

TEST(LetterCase, ExistenceOpeningAndChangesAgreeOnOneFile) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  fs::create_directories("data");
  WriteFile("data/map.dat", "old");

  EXPECT_TRUE(fs->Exists("DATA\\Map.dat"));
  OxArchivePtr reader = fs->OpenRead("Data\\MAP.DAT", 0);
  ASSERT_NE(reader, nullptr);
  reader->Close();
  EXPECT_EQ(fs->GetFileSize("data\\MAP.dat"), 3);

  OxArchivePtr writer = fs->OpenWrite("Data\\Map.dat", 0);
  ASSERT_NE(writer, nullptr);
  char bytes[] = "new";
  writer->Serialize(bytes, 3);
  EXPECT_TRUE(writer->Close());
  EXPECT_TRUE(fs->ReplaceContents("DATA\\MAP.DAT", "newer", false));
  EXPECT_EQ(Tree(), (std::vector<std::string>{"data", "data/map.dat"})) << "no second file or folder";
  EXPECT_EQ(ReadFile("data/map.dat"), "newer");

  EXPECT_TRUE(fs->Delete("DATA\\MAP.DAT", true, false));
  EXPECT_FALSE(fs::exists("data/map.dat"));
  EXPECT_TRUE(fs->DeleteDirectory("Data", true, false));
  EXPECT_TRUE(Tree().empty());
}

TEST(CodePageNames, AreWrittenAndListedAsUtf8OnDisk) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  const std::string folder = Gbk("地图");
  const std::string file = Gbk("说明.txt");
  ASSERT_TRUE(fs->MakeDirectory(folder, false));
  ASSERT_TRUE(fs->ReplaceContents(folder + "\\" + file, "text", false));
  EXPECT_EQ(ReadFile("地图/说明.txt"), "text") << "the name other programs look up";

  std::vector<std::string> list;
  fs->FindFiles(list, folder + "\\*.TXT", true, false);
  EXPECT_EQ(list, std::vector<std::string>{file}) << "listed in the code page";
  EXPECT_EQ(fs->GetWorkingDirectory(), NameFromNative(fs::current_path().string()));
}

TEST(CodePageNames, NamesWithoutAFormAreRefusedAndSaySo) {
  CurrentTempDir dir;
  ox_test::BaseLogCapture capture;
  OxFile* fs = OxBase::GetFileSystem();
  // A GBK lead byte without its trail byte is no character.
  const std::string broken = "bad\x81.txt";
  EXPECT_EQ(NativeName(broken), std::nullopt);
  EXPECT_EQ(NativePath(broken), "");
  EXPECT_FALSE(fs->ReplaceContents(broken, "x", false));
  EXPECT_EQ(fs->OpenWrite(broken, OX_WRITE_QUIET), nullptr);
  EXPECT_TRUE(Tree().empty()) << "nothing is written under any name";
  ASSERT_FALSE(capture.Messages().empty());
  EXPECT_EQ(capture.Messages()[0], "OxFile: Name refused, it is no text of code page 936: " + broken + "\n");

  // A name on disk that has no form in the code page is left out of lists.
  WriteFile("\xff.txt", "");
  WriteFile("ok.txt", "");
  std::vector<std::string> list;
  fs->FindFiles(list, "*.txt", true, false);
  EXPECT_EQ(list, std::vector<std::string>{"ok.txt"});
  EXPECT_EQ(capture.Messages().back(), "OxFile: \xff.txt left out: its name is no text of the code page\n");
}
