#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

const char kVersionDocument[] =
    "<?xml version=\"1.0\"?>\n"
    "<GameVersion MainVersion=\"1\"  SubVersion=\"0\"  FileVersion=\"12\"  PackageCode=\"7\"  "
    "UpdateServerAddr=\"http://u.example/s.xml\"  LoginServer=\"0\"  ForceUpdateVersion=\"0\"  "
    "ProductName=\"rh\"  PackageName=\"pk\"  WebAddr=\"http://w.example/\" >\n"
    "</GameVersion>\n";

// Saves the plain text's tree with the given fields and returns the decoded
// output; the stored file must be a single line. (The exact form of a
// version document is checked by the update tests' round trip.)
std::string SaveAndDecode(const std::string& plain, const ConfigFields& fields, bool* result = nullptr) {
  TempDir dir;
  CXMLFile document;
  document.LoadText(plain, true);
  document.config = fields;
  const bool saved = document.Save(dir.File("out.xml"));
  if (result != nullptr) *result = saved;
  const std::string stored = ReadFile(dir.File("out.xml"));
  EXPECT_EQ(stored.find('\n'), std::string::npos);
  return Base64Decode(stored).value_or("<no Base64>");
}

// The values the write-back records.
ConfigFields Recorded(const std::string& main, const std::string& sub, const std::string& file, const std::string& code,
                      const std::string& address, const std::string& force) {
  ConfigFields fields;
  fields.MainVersion = main;
  fields.SubVersion = sub;
  fields.FileVersion = file;
  fields.PackageCode = code;
  fields.UpdateServerAddr = address;
  fields.ForceUpdate = force;
  return fields;
}

}  // namespace

TEST(XmlSave, AttributesKeepTheirNamesAndTextIsDropped) {
  const ConfigFields fields = Recorded("M", "S", "F", "P", "U", "9");
  // A publisher's order: the recorded values go under their own names,
  // the others keep theirs.
  const std::string plain =
      "<?xml version=\"1.0\"?><E WebAddr=\"w\" PackageCode=\"old\" LoginServer=\"5\" x=\"1\">text"
      "<c ForceUpdateVersion=\"0\" MainVersion=\"0\" SubVersion=\"0\" FileVersion=\"0\" UpdateServerAddr=\"o\">t</c></E>";
  EXPECT_EQ(SaveAndDecode(plain, fields),
            "<?xml version=\"1.0\"?>\n"
            "<E WebAddr=\"w\"  PackageCode=\"P\"  LoginServer=\"5\"  x=\"1\" >\n"
            "<c ForceUpdateVersion=\"9\"  MainVersion=\"M\"  SubVersion=\"S\"  FileVersion=\"F\"  UpdateServerAddr=\"U\" >\n"
            "</c>\n"
            "</E>\n");
}

TEST(XmlSave, TheVersionIsRecordedEvenWhereTheDocumentLacksItsAttributes) {
  const ConfigFields fields = Recorded("2", "1", "13", "0012", "http://u/", "1");
  // Too few attributes for the positions of updatecfg.xml.
  EXPECT_EQ(SaveAndDecode("<GameVersion UpdateServerAddr=\"http://old/\" MainVersion=\"1\"></GameVersion>"
                          "<Other></Other>",
                          fields),
            "<?xml version=\"1.0\"?>\n"
            "<GameVersion UpdateServerAddr=\"http://u/\"  MainVersion=\"2\"  SubVersion=\"1\"  FileVersion=\"13\"  "
            "PackageCode=\"0012\" >\n"
            "</GameVersion>\n"
            "<Other>\n"
            "</Other>\n");
}

TEST(XmlSave, WithoutElementsOnlyTheDeclarationIsWritten) {
  bool result = true;
  EXPECT_EQ(SaveAndDecode("<?xml version=\"1.0\"?>", ConfigFields(), &result), "<?xml version=\"1.0\"?>\n");
  EXPECT_FALSE(result);

  TempDir dir;
  CXMLFile empty;
  EXPECT_FALSE(empty.Save(dir.File("none.xml")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.xml")));
}

TEST(XmlSave, TheFileIsReplacedOnlyWhereTheUserMayWriteIt) {
  TempDir dir;
  const std::string original = Base64Encode(kVersionDocument);
  const std::string path = dir.Write("updatecfg.xml", original);
  CXMLFile document;
  ASSERT_TRUE(document.Load(path, false));
  document.ReadConfig();
  document.config.MainVersion = "99";

  // Read-only: the player (or the publisher) protected it.
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(document.Save(path));
  EXPECT_EQ(ReadFile(path), original);

  // Its mode stays; a link to it stays a link.
  ::chmod(path.c_str(), 0600);
  const std::string link = dir.File("link.xml");
  std::filesystem::create_symlink(path, link);
  ASSERT_TRUE(document.Save(link));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(Base64Decode(ReadFile(path)).value_or("").find("MainVersion=\"99\""), std::string::npos);
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // The disk fills up while writing: files may not grow past 16 bytes.
  const std::string saved = ReadFile(path);
  document.config.MainVersion = "100";
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  rlimit tiny = limit;
  tiny.rlim_cur = 16;
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const bool savedWhileFull = document.Save(path);
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(savedWhileFull);
  EXPECT_EQ(ReadFile(path), saved);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()), 2)
      << "no temporary file stays behind";
}
