#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

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
  return Base64Decode(stored);
}

}  // namespace

TEST(XmlSave, AttributesAreNamedByPositionAndTextIsDropped) {
  ConfigFields fields;
  fields.MainVersion = "M";
  fields.SubVersion = "S";
  fields.FileVersion = "F";
  fields.PackageCode = "P";
  fields.UpdateServerAddr = "U";
  fields.ForceUpdate = "9";
  std::string attributes;
  for (int k = 1; k <= 11; ++k) {
    attributes += " a" + std::to_string(k) + "=\"v" + std::to_string(k) + "\"";
  }
  const std::string plain = "<?xml version=\"1.0\"?><E" + attributes + ">text<c X=\"z\">t</c></E>";
  EXPECT_EQ(SaveAndDecode(plain, fields),
            "<?xml version=\"1.0\"?>\n"
            "<E MainVersion=\"M\"  SubVersion=\"S\"  FileVersion=\"F\"  PackageCode=\"P\"  "
            "UpdateServerAddr=\"U\"  LoginServer=\"v6\"  ForceUpdateVersion=\"9\"  ProductName=\"v8\"  "
            "PackageName=\"v9\"  WebAddr=\"v10\"  a11=\"v11\" >\n"
            "<c MainVersion=\"M\" >\n"
            "</c>\n"
            "</E>\n");
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

TEST(XmlSave, AFailedWriteLeavesTheOriginalIntact) {
  TempDir dir;
  const std::string original = Base64Encode(kVersionDocument);
  const std::string path = dir.Write("updatecfg.xml", original);
  CXMLFile document;
  ASSERT_TRUE(document.Load(path, false));
  document.ReadConfig();
  document.config.MainVersion = "99";

  // The temporary file cannot be created.
  std::filesystem::create_directory(path + ".tmp");
  EXPECT_FALSE(document.Save(path));
  EXPECT_EQ(ReadFile(path), original);
  std::filesystem::remove(path + ".tmp");

  // The disk fills up while writing: files may not grow past 16 bytes.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
  const bool savedWhileFull = document.Save(path);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(savedWhileFull);
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}
