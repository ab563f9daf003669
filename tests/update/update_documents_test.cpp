#include "update/site/update_documents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "update/site/executable_format.h"
#include "xml/base64.h"

namespace {

// "\xc8\xd9\xd2\xab" is GBK text; it must pass through unchanged.
const char kLocalDocument[] =
    "<?xml version=\"1.0\"?>\n"
    "<GameVersion MainVersion=\"1\"  SubVersion=\"0\"  FileVersion=\"12\"  PackageCode=\"0011\"  "
    "UpdateServerAddr=\"http://update.example/servercfg.xml\"  LoginServer=\"3\"  "
    "ForceUpdateVersion=\"0\"  ProductName=\"\xc8\xd9\xd2\xab\"  PackageName=\"full\"  "
    "WebAddr=\"http://news.example/\" >\n"
    "</GameVersion>\n";

// The launcher works in the game directory; so do these tests.
class VersionDocument : public ::testing::Test {
 protected:
  void WriteStored(const std::string& plain) { dir_.Write(kVersionDocumentName, Base64Encode(plain)); }
  std::string ReadDecoded() const { return Base64Decode(ReadFile(dir_.File(kVersionDocumentName))).value_or("<no Base64>"); }

  CurrentTempDir dir_;
};

}  // namespace

TEST_F(VersionDocument, RoundTripRewritesOnlyTheUpdatedValues) {
  WriteStored(kLocalDocument);
  UpdateConfig config;
  ASSERT_TRUE(LoadUpdateConfig(kVersionDocumentName, config));
  EXPECT_EQ(config.MainVersion, "1");
  EXPECT_EQ(config.SubVersion, "0");
  EXPECT_EQ(config.FileVersion, "12");
  EXPECT_EQ(config.PackageCode, "0011");
  EXPECT_EQ(config.ProductName, "\xc8\xd9\xd2\xab");
  EXPECT_EQ(config.UpdateServerAddr, "http://update.example/servercfg.xml");
  EXPECT_EQ(config.PackageName, "full");
  EXPECT_EQ(config.WebAddr, "http://news.example/");
  EXPECT_EQ(config.LoginServer, "3");

  ASSERT_TRUE(SaveVersionDocument("2", "1", "13", "0012", "http://block.example/servercfg.xml", 1));
  const std::string stored = ReadFile(dir_.File(kVersionDocumentName));
  EXPECT_EQ(stored.find('\n'), std::string::npos);
  EXPECT_EQ(Base64Decode(stored).value_or("<no Base64>"),
            "<?xml version=\"1.0\"?>\n"
            "<GameVersion MainVersion=\"2\"  SubVersion=\"1\"  FileVersion=\"13\"  PackageCode=\"0012\"  "
            "UpdateServerAddr=\"http://block.example/servercfg.xml\"  LoginServer=\"3\"  "
            "ForceUpdateVersion=\"1\"  ProductName=\"\xc8\xd9\xd2\xab\"  PackageName=\"full\"  "
            "WebAddr=\"http://news.example/\" >\n"
            "</GameVersion>\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.File(std::string(kVersionDocumentName) + ".tmp")));

  ASSERT_TRUE(LoadUpdateConfig(kVersionDocumentName, config));
  EXPECT_EQ(config.MainVersion, "2");
  EXPECT_EQ(config.PackageCode, "0012");
  EXPECT_EQ(config.UpdateServerAddr, "http://block.example/servercfg.xml");
  EXPECT_EQ(config.ProductName, "\xc8\xd9\xd2\xab");
}

TEST_F(VersionDocument, AMissingDocumentIsNeitherReadNorCreated) {
  UpdateConfig config;
  config.PackageCode = "untouched";
  EXPECT_FALSE(LoadUpdateConfig(kVersionDocumentName, config));
  EXPECT_EQ(config.PackageCode, "untouched");
  EXPECT_FALSE(SaveVersionDocument("2", "1", "13", "0012", "http://x/", 0));
  EXPECT_FALSE(std::filesystem::exists(dir_.File(kVersionDocumentName)));
}

TEST_F(VersionDocument, AttributesInAnotherOrderKeepTheirNames) {
  WriteStored("<?xml version=\"1.0\"?>\n<GameVersion WebAddr=\"w\" LoginServer=\"5\" MainVersion=\"1\" "
              "SubVersion=\"0\" FileVersion=\"9\" PackageName=\"pk\"></GameVersion>\n");
  ASSERT_TRUE(SaveVersionDocument("2", "1", "13", "0012", "http://u/", 0));
  // What the document lacked is added, so the next start knows the version
  // and where to look.
  EXPECT_EQ(ReadDecoded(),
            "<?xml version=\"1.0\"?>\n"
            "<GameVersion WebAddr=\"w\"  LoginServer=\"5\"  MainVersion=\"2\"  SubVersion=\"1\"  FileVersion=\"13\"  "
            "PackageName=\"pk\"  PackageCode=\"0012\"  UpdateServerAddr=\"http://u/\" >\n"
            "</GameVersion>\n");
  UpdateConfig config;
  ASSERT_TRUE(LoadUpdateConfig(kVersionDocumentName, config));
  EXPECT_EQ(config.LoginServer + " " + config.PackageCode + " " + config.UpdateServerAddr, "5 0012 http://u/")
      << "the next start reads it";
}

TEST(ServerDocument, APublishedDocumentIsReadIntoEntriesItemsAndSettings) {
  const std::string published =
      "<?xml version=\"1.0\" encoding=\"gbk\"?>\n"
      "<ServerConfig>\n"
      "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"12\" PackageCode=\"0011\" "
      "ProductName=\"rh\" UpdateVersion=\"7\">\n"
      "<File Type=\"normal\" TargetFileName=\"update.zip\" SourceFileAddr=\"http://u.example/0011.zip\"></File>\n"
      "<Server AreaName=\"east\" ServerName=\"s1\" IP=\"10.0.0.1\" Port=\"7000\"></Server>\n"
      "<Server AreaName=\"west\" ServerName=\"s2\"></Server>\n"
      "</GameVersion>\n"
      "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"13\" PackageCode=\"0012\">\n"
      "<File Type=\"farLaunch\" TargetFileName=\"farLaunch.exe\" SourceFileAddr=\"http://u.example/l.zip\"></File>\n"
      "<File Type=\"package\"></File>\n"
      "</GameVersion>\n"
      "<Site WebAddr=\"http://news.example/\" WebAddr1=\"http://alt.example/\" "
      "UpdateBlockAddr=\"http://get.example/\" DumpFtpServer=\"dumps.example\" DumpFtpServerPort=\"2121\" "
      "MiniType=\"zip\" MiniTargetFileName=\"client.zip\" MiniSourceFileAddr=\"http://u.example/full.zip\">"
      "</Site>\n"
      "</ServerConfig>\n";
  TempDir dir;
  // The launcher stores the fetched document Base64-encoded in place.
  const std::string path = dir.Write("Servercfg.xml", Base64Encode(published));
  CXMLFile document;
  ASSERT_TRUE(document.Load(path, false));
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);

  EXPECT_EQ(server.WebAddr, "http://news.example/");
  EXPECT_EQ(server.WebAddr1, "http://alt.example/");
  EXPECT_EQ(server.UpdateBlockAddr, "http://get.example/");
  EXPECT_EQ(server.DumpFtpServer, "dumps.example");
  EXPECT_EQ(server.DumpFtpServerPort, "2121");
  EXPECT_EQ(server.MiniType, "zip");
  EXPECT_EQ(server.MiniTargetFileName, "client.zip");
  EXPECT_EQ(server.MiniSourceFileAddr, "http://u.example/full.zip");

  ASSERT_EQ(server.entries.size(), 2u);
  const VersionEntry& first = server.entries[0];
  EXPECT_EQ(first.PackageCode, "0011");
  EXPECT_EQ(first.UpdateVersion, "7");
  const std::vector<UpdateFileItem> firstItems = FileItems(first);
  ASSERT_EQ(firstItems.size(), 1u);
  EXPECT_EQ(firstItems[0].Type, "normal");
  EXPECT_EQ(firstItems[0].TargetFileName, "update.zip");
  EXPECT_EQ(firstItems[0].SourceFileAddr, "http://u.example/0011.zip");
  const std::vector<ServerEntry> servers = ServerEntries(first);
  ASSERT_EQ(servers.size(), 2u);
  EXPECT_EQ(servers[0].IP, "10.0.0.1");
  EXPECT_EQ(servers[0].Port, "7000");
  EXPECT_EQ(servers[1].AreaName, "west");
  EXPECT_EQ(servers[1].IP, "");

  const VersionEntry& second = server.entries[1];
  EXPECT_EQ(second.FileVersion, "13");
  EXPECT_EQ(second.ProductName, "rh");
  EXPECT_TRUE(ServerEntries(second).empty());
  const std::vector<UpdateFileItem> secondItems = FileItems(second);
  ASSERT_EQ(secondItems.size(), 2u);
  EXPECT_EQ(secondItems[0].TargetFileName, "farLaunch.exe");
  EXPECT_EQ(secondItems[1].Type, "package");
  EXPECT_EQ(secondItems[1].TargetFileName, "");
  EXPECT_EQ(secondItems[1].SourceFileAddr, "");
}

// A hash and a size describe the file of the address on their own element:
// they never move to another item by position.
TEST(ServerDocument, HashesAndSizesBelongToTheElementOfTheirAddress) {
  CXMLFile document;
  document.LoadText(
      "<GameVersion PackageCode=\"0011\">\n"
      "<File Type=\"normal\" TargetFileName=\"a.zip\" SourceFileAddr=\"http://u/a.zip\"></File>\n"
      "<File Sha256=\"hash-b\" Size=\"2\" Type=\"normal\" TargetFileName=\"b.zip\" SourceFileAddr=\"http://u/b.zip\">"
      "</File>\n"
      "<File Type=\"normal\" TargetFileName=\"c.zip\" SourceFileAddr=\"http://u/c.zip\"></File>\n"
      "<Note Sha256=\"hash-of-nothing\" Size=\"4\"></Note>\n"
      "</GameVersion>\n"
      "<GameVersion PackageCode=\"0012\">\n"
      "<File Type=\"farLaunch\" TargetFileName=\"l\"></File>\n"
      "<Address SourceFileAddr=\"http://u/l.zip\" Sha256=\"hash-l\"></Address>\n"
      "<File Type=\"normal\" SourceFileAddr=\"http://u/x.zip\" SourceFileAddr=\"http://u/y.zip\" Sha256=\"hash-xy\">"
      "</File>\n"
      "</GameVersion>\n"
      "<Site MiniSourceFileAddr=\"http://u/old.zip\" MiniSha256=\"hash-old\" MiniSize=\"9\"></Site>\n"
      "<Site MiniSourceFileAddr=\"http://u/full.zip\" MiniSize=\"10\"></Site>\n"
      "<More MiniSha256=\"hash-of-no-package\"></More>\n",
      true);
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);
  ASSERT_EQ(server.entries.size(), 2u);

  const std::vector<UpdateFileItem> first = FileItems(server.entries[0]);
  ASSERT_EQ(first.size(), 3u);
  EXPECT_FALSE(first[0].check.Sha256 || first[0].check.Size);
  EXPECT_EQ(first[1].check.Sha256, std::optional<std::string>("hash-b"));
  EXPECT_EQ(first[1].check.Size, std::optional<std::string>("2"));
  EXPECT_FALSE(first[2].check.Sha256 || first[2].check.Size) << "the hash of an element without an address";

  // An item whose address stands on another element takes that element's
  // hash with the address; two addresses on one element share none.
  const std::vector<UpdateFileItem> second = FileItems(server.entries[1]);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0].SourceFileAddr, "http://u/l.zip");
  EXPECT_EQ(second[0].check.Sha256, std::optional<std::string>("hash-l"));
  EXPECT_EQ(second[1].SourceFileAddr, "http://u/x.zip");
  EXPECT_FALSE(second[1].check.Sha256);

  // The package address in force is the last one; its element has a size only.
  EXPECT_EQ(server.MiniSourceFileAddr, "http://u/full.zip");
  EXPECT_FALSE(server.MiniSourceFileCheck.Sha256);
  EXPECT_EQ(server.MiniSourceFileCheck.Size, std::optional<std::string>("10"));
}

// A launcher per platform in new Launcher elements, and a rollout share on
// the entry's element: older launchers read the entry exactly as without
// them (and take its "farLaunch" item); this one takes its own platform's
// Launcher element in place of that item.
TEST(ServerDocument, LaunchersPerPlatformAndARolloutLeaveTheFlatScanAsItWasAndOnlyThisPlatformsIsAnItem) {
  const std::string items =
      "<GameVersion PackageCode=\"0012\">\n"
      "<File Type=\"normal\" TargetFileName=\"patch-0012.zip\" SourceFileAddr=\"http://u/patch-0012.zip\" "
      "Sha256=\"hash-p\" Size=\"3\"></File>\n"
      "<File Type=\"farLaunch\" TargetFileName=\"launcher-0012.zip\" SourceFileAddr=\"http://u/launcher-0012.zip\" "
      "Sha256=\"hash-w\" Size=\"5\"></File>\n";
  const std::string launchers =
      "<Launcher Platform=\"windows-x86_64\" Href=\"http://u/launcher-0012.zip\" Digest=\"hash-w\" Bytes=\"5\">"
      "</Launcher>\n"
      "<Launcher Platform=\"linux-x86_64\" Href=\"http://u/launcher-linux-0012.zip\" Digest=\"hash-l\" Bytes=\"6\">"
      "</Launcher>\n";
  const std::string end = "</GameVersion>\n<GameVersion PackageCode=\"0013\">\n" + items.substr(items.find("<File")) +
                          "<Launcher Platform=\"beos-m68k\" Href=\"http://u/l.zip\"></Launcher>\n</GameVersion>\n";
  // A staged rollout's share stands on the entry's own element.
  std::string withNewMarkup = items + launchers + end;
  withNewMarkup.insert(withNewMarkup.find('>'), " Rollout=\"25\"");
  CXMLFile older;
  const bool olderLoads = older.LoadText(items + end, true);
  CXMLFile both;
  EXPECT_EQ(both.LoadText(withNewMarkup, true), olderLoads) << "the tree loads as before";
  ASSERT_EQ(both.ReadConfig(), older.ReadConfig()) << "as many known keys";
  EXPECT_EQ(both.config.entries[0].Rollout, std::optional<std::string>("25"));
  EXPECT_FALSE(both.config.entries[1].Rollout);
  EXPECT_FALSE(older.config.entries[0].Rollout);
  ASSERT_EQ(both.config.entries.size(), 2u);
  ASSERT_EQ(older.config.entries.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const VersionEntry& read = both.config.entries[i];
    const VersionEntry& before = older.config.entries[i];
    EXPECT_EQ(read.Type, before.Type);
    EXPECT_EQ(read.TargetFileName, before.TargetFileName);
    EXPECT_EQ(read.SourceFileAddr, before.SourceFileAddr);
    ASSERT_EQ(read.SourceFileChecks.size(), before.SourceFileChecks.size());
    for (std::size_t k = 0; k < read.SourceFileChecks.size(); ++k) {
      EXPECT_EQ(read.SourceFileChecks[k].Sha256, before.SourceFileChecks[k].Sha256);
      EXPECT_EQ(read.SourceFileChecks[k].Size, before.SourceFileChecks[k].Size);
    }
  }

  const bool onLinux = OwnExecutableFormat() == ExecutableFormat::LinuxElf;
  const std::vector<UpdateFileItem> own = FileItems(both.config.entries[0]);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[0].TargetFileName, "patch-0012.zip");
  EXPECT_EQ(own[1].Type, "farLaunch");
  EXPECT_EQ(own[1].TargetFileName, onLinux ? "launcher-linux-0012.zip" : "launcher-0012.zip");
  EXPECT_EQ(own[1].SourceFileAddr, onLinux ? "http://u/launcher-linux-0012.zip" : "http://u/launcher-0012.zip");
  EXPECT_EQ(own[1].check.Sha256, std::optional<std::string>(onLinux ? "hash-l" : "hash-w"));
  EXPECT_EQ(own[1].check.Size, std::optional<std::string>(onLinux ? "6" : "5"));
  // Launchers for other platforms only: no launcher to install here.
  const std::vector<UpdateFileItem> foreign = FileItems(both.config.entries[1]);
  ASSERT_EQ(foreign.size(), 1u);
  EXPECT_EQ(foreign[0].Type, "normal");
  // What a site check looks at: every platform's launcher, each address once.
  std::vector<std::string> every;
  for (const UpdateFileItem& item : EveryFileItem(both.config.entries[0])) every.push_back(item.SourceFileAddr);
  EXPECT_EQ(every, (std::vector<std::string>{"http://u/patch-0012.zip", "http://u/launcher-0012.zip",
                                             "http://u/launcher-linux-0012.zip"}));
  // Without Launcher elements the "farLaunch" item is every platform's.
  EXPECT_EQ(FileItems(older.config.entries[0]).size(), 2u);
}
