// A patch installed over a game directory whose files differ in letter
// case from the patch's names, and the documents found the same way.
#include <filesystem>

#include "update/update_fixture.h"

namespace {

using GameFileNames = UpdateFixture;

ServerVersion Version(const std::string& file, const std::string& code, std::vector<ServerItem> items = {}) {
  return ServerVersion{"1", "0", file, code, std::move(items)};
}

TEST_F(GameFileNames, APatchReplacesTheInstalledFilesWhateverTheLetterCase) {
  dir.Write("Data/Map.dat", "map 10");
  dir.Write("README.txt", "readme 10");
  site.Put("/p11.zip", MakeZip({{"data\\map.dat", "map 11"}, {"ReadMe.TXT", "readme 11"}, {"DATA\\new.dat", "new"}}));
  ServerDocument document;
  document.versions = {Version("10", "0010"),
                       Version("11", "0011", {ServerItem{"normal", "p11.zip", site.Url("/p11.zip")}})};
  Publish(document);
  Install(true);

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(dir.Read("Data/Map.dat"), "map 11");
  EXPECT_EQ(dir.Read("README.txt"), "readme 11");
  EXPECT_EQ(dir.Read("Data/new.dat"), "new");
  // Nothing was written twice, and the replacements keep the installed
  // spelling; the originals went once the version was recorded.
  EXPECT_EQ(dir.Files(), (std::set<std::string>{"Data/Map.dat", "Data/new.dat", "README.txt", "client.exe",
                                                "updatecfg.xml"}));
}

TEST_F(GameFileNames, TheVersionDocumentIsFoundAndRewrittenUnderItsOwnSpelling) {
  ServerDocument document;
  site.Put("/p11.zip", MakeZip({{"x.txt", "x"}}));
  document.versions = {Version("10", "0010"),
                       Version("11", "0011", {ServerItem{"normal", "p11.zip", site.Url("/p11.zip")}})};
  Publish(document);
  Install(true);
  std::filesystem::rename(dir.Path() / "updatecfg.xml", dir.Path() / "UpdateCfg.xml");

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_FALSE(dir.Has("updatecfg.xml"));
  UpdateConfig config;
  ASSERT_TRUE(LoadUpdateConfig("updatecfg.xml", config));
  EXPECT_EQ(config.PackageCode, "0011");
}

}  // namespace
