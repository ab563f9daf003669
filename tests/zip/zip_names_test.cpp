// Entry names as archivers write them: a Chinese code-page name, one the
// archive marks as UTF-8, and Windows names whose letter case differs from
// the installed files'.
#include "base/base_test_support.h"
#include "zip_test_support.h"

namespace {

// "地图" and "港口.map" in GBK, as an archiver on the original platform
// stores them.
const std::string kGbkFolder = "\xb5\xd8\xcd\xbc";
const std::string kGbkFile = "\xb8\xdb\xbf\xda.map";

class EntryNames : public ZipTest {
 protected:
  // The names GetItem reports, and what extracting every entry gave.
  std::vector<std::string> Names(const fs::path& archive) {
    ZipReader reader;
    std::vector<std::string> names;
    if (reader.Open(archive.string()) != ZipResult::Ok) return names;
    ZipEntry count;
    reader.GetItem(-1, count);
    for (std::int32_t i = 0; i < count.index; ++i) {
      ZipEntry entry;
      names.push_back(reader.GetItem(i, entry) == ZipResult::Ok ? entry.name : "<refused>");
    }
    return names;
  }
};

TEST_F(EntryNames, ACodePageNameIsInstalledUnderItsUtf8Name) {
  const fs::path source = base / "source";
  fs::create_directories(source / kGbkFolder);
  WriteFile(source / kGbkFolder / kGbkFile, "harbour");
  ASSERT_EQ(Shell("cd '" + source.string() + "' && LC_ALL=C zip -q -r ../gbk.zip ."), 0);

  EXPECT_EQ(Names(base / "gbk.zip"), (std::vector<std::string>{kGbkFolder + "/", kGbkFolder + "/" + kGbkFile}));
  for (ZipResult result : ExtractAll((base / "gbk.zip").string())) EXPECT_EQ(result, ZipResult::Ok);
  EXPECT_EQ(Tree(root), (std::map<std::string, std::string>{{"地图", "<dir>"}, {"地图/港口.map", "harbour"}}));
}

TEST_F(EntryNames, AUtf8MarkedNameIsTakenAsUtf8) {
  const fs::path source = base / "source";
  fs::create_directories(source / "地图");
  WriteFile(source / "地图/港口.map", "harbour");
  ASSERT_EQ(Shell("cd '" + source.string() + "' && bsdtar --format zip -cf ../utf8.zip 地图"), 0);
  std::string flags;
  ASSERT_EQ(Shell("python3 -c \"import zipfile; print([hex(i.flag_bits) for i in zipfile.ZipFile('" +
                      (base / "utf8.zip").string() + "').infolist()])\"",
                  &flags),
            0);
  ASSERT_NE(flags.find("0x8"), std::string::npos) << "bsdtar marks the names as UTF-8: " << flags;

  EXPECT_EQ(Names(base / "utf8.zip"), (std::vector<std::string>{kGbkFolder + "/", kGbkFolder + "/" + kGbkFile}))
      << "handed on in the launcher's code page";
  for (ZipResult result : ExtractAll((base / "utf8.zip").string())) EXPECT_EQ(result, ZipResult::Ok);
  EXPECT_EQ(Tree(root), (std::map<std::string, std::string>{{"地图", "<dir>"}, {"地图/港口.map", "harbour"}}));
}

TEST_F(EntryNames, NamesWithoutAFormAreRefusedWithTheirReason) {
  ox_test::BaseLogCapture capture;
  // A UTF-8 name with a character GBK lacks, and bytes that are no GBK.
  const fs::path source = base / "source";
  fs::create_directories(source);
  WriteFile(source / "smile-😀.txt", "x");
  ASSERT_EQ(Shell("cd '" + source.string() + "' && bsdtar --format zip -cf ../emoji.zip smile-😀.txt"), 0);
  EXPECT_EQ(Names(base / "emoji.zip"), std::vector<std::string>{"<refused>"});
  WriteFile(base / "broken.zip", CraftArchive({{"bad\x81.txt", "x"}, {"good.txt", "y"}}));
  std::vector<ZipResult> results = ExtractAll((base / "broken.zip").string());
  EXPECT_EQ(results, (std::vector<ZipResult>{ZipResult::Ok, ZipResult::CannotOpenFile, ZipResult::Ok}));
  EXPECT_EQ(Tree(root), (std::map<std::string, std::string>{{"good.txt", "y"}}));

  const std::vector<std::string> messages = capture.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "ZipReader: entry 0 refused: its UTF-8 name smile-😀.txt has no form in the code page\n");
  EXPECT_EQ(messages[1], "OxFile: Name refused, it is no text of code page 936: bad\x81.txt\n");
}

TEST_F(EntryNames, AnInfoZipUnicodePathGivesTheNameItsStoredNameLost) {
  ox_test::BaseLogCapture capture;
  // A Western archiver stores "?" for what its code page lacks, and the
  // name's UTF-8 form beside it, tied to the stored name by its CRC-32.
  CraftedEntry harbour{"??\\??.map", "harbour"};
  harbour.centralExtra = UnicodePathBlock(harbour.name, "地图\\港口.map");
  // Renamed since the field was written, or a version not known: the
  // stored name stands.
  CraftedEntry renamed{"renamed.txt", "r"};
  renamed.centralExtra = std::string("xy\x02\x00zz", 6) + UnicodePathBlock("old.txt", "旧.txt");
  CraftedEntry future{"future.txt", "f"};
  future.centralExtra = UnicodePathBlock(future.name, "未来.txt", 2);
  CraftedEntry emoji{"smile-?.txt", "x"};
  emoji.centralExtra = UnicodePathBlock(emoji.name, "smile-😀.txt");
  WriteFile(base / "unicode.zip", CraftArchive({harbour, renamed, future, emoji}));

  EXPECT_EQ(Names(base / "unicode.zip"),
            (std::vector<std::string>{kGbkFolder + "\\" + kGbkFile, "renamed.txt", "future.txt", "<refused>"}));
  EXPECT_EQ(ExtractAll((base / "unicode.zip").string()),
            (std::vector<ZipResult>{ZipResult::Ok, ZipResult::Ok, ZipResult::Ok, ZipResult::Ok, ZipResult::Corrupt}));
  EXPECT_EQ(Tree(root), (std::map<std::string, std::string>{
                            {"地图", "<dir>"}, {"地图/港口.map", "harbour"}, {"future.txt", "f"}, {"renamed.txt", "r"}}));
  ASSERT_FALSE(capture.Messages().empty());
  EXPECT_EQ(capture.Messages()[0],
            "ZipReader: entry 3 refused: its UTF-8 name smile-😀.txt has no form in the code page\n");
}

TEST_F(EntryNames, WindowsNamesReplaceTheInstalledFilesWhateverTheirLetterCase) {
  fs::create_directories(root / "data/maps");
  WriteFile(root / "data/maps/harbour.map", "installed");
  WriteFile(base / "patch.zip", CraftArchive({{"Data\\Maps\\", "", 0, 0x10},
                                              {"DATA\\MAPS\\Harbour.MAP", "patched"},
                                              {"Data\\Maps\\New.map", "new"},
                                              {"Data\\New\\", "", 0, 0x10}}));
  for (ZipResult result : ExtractAll((base / "patch.zip").string())) EXPECT_EQ(result, ZipResult::Ok);
  EXPECT_EQ(Tree(root), (std::map<std::string, std::string>{{"data", "<dir>"},
                                                            {"data/New", "<dir>"},
                                                            {"data/maps", "<dir>"},
                                                            {"data/maps/New.map", "new"},
                                                            {"data/maps/harbour.map", "patched"}}))
      << "no second file or folder; new names keep the archive's spelling";
}

}  // namespace
