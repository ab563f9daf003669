#include <gtest/gtest.h>

#include <string>

#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

ConfigFields Read(const std::string& plain) {
  CXMLFile document;
  document.LoadText(plain, true);
  document.ReadConfig();
  return document.config;
}

}  // namespace

TEST(ReadConfig, EachGameVersionCloseMakesAnEntry) {
  const ConfigFields fields = Read(
      "<?xml version=\"1.0\"?>\n"
      "<S>\n"
      "<GameVersion MainVersion=\"1\" PackageCode=\"0010\" ProductName=\"rh\" UpdateVersion=\"u1\">\n"
      "  <F Type=\"normal\" TargetFileName=\"a.zip\" SourceFileAddr=\"http://x/a.zip\"></F>\n"
      "  <F Type=\"package\" TargetFileName=\"b.zip\"></F>\n"
      "</GameVersion>\n"
      "<GameVersion PackageCode=\"0011\">\n"
      "  <F Type=\"farLaunch\"></F>\n"
      "</GameVersion>\n"
      "<Site WebAddr=\"http://news/\" Type=\"stray\"></Site>\n"
      "</S>\n");
  ASSERT_EQ(fields.entries.size(), 2u);
  const VersionEntry& first = fields.entries[0];
  EXPECT_EQ(first.MainVersion, "1");
  EXPECT_EQ(first.PackageCode, "0010");
  EXPECT_EQ(first.UpdateVersion, "u1");
  EXPECT_EQ(first.Type, (StringList{"normal", "package"}));
  EXPECT_EQ(first.TargetFileName, (StringList{"a.zip", "b.zip"}));
  EXPECT_EQ(first.SourceFileAddr, (StringList{"http://x/a.zip"}));

  // The second entry inherits only the product name.
  const VersionEntry& second = fields.entries[1];
  EXPECT_EQ(second.ProductName, "rh");
  EXPECT_EQ(second.MainVersion, "");
  EXPECT_EQ(second.UpdateVersion, "");
  EXPECT_EQ(second.PackageCode, "0011");
  EXPECT_EQ(second.Type, (StringList{"farLaunch"}));
  EXPECT_TRUE(second.TargetFileName.empty());

  // The document keeps the last single value and every list value,
  // including those after the last entry.
  EXPECT_EQ(fields.PackageCode, "0011");
  EXPECT_EQ(fields.MainVersion, "1");
  EXPECT_EQ(fields.WebAddr, "http://news/");
  EXPECT_EQ(fields.Type, (StringList{"normal", "package", "farLaunch", "stray"}));
  EXPECT_EQ(fields.LoginServer, "0");
}

TEST(ReadConfig, OnlyAnExplicitClosingTagEndsAnEntry) {
  EXPECT_TRUE(Read("<GameVersion PackageCode=\"1\"/>").entries.empty());
  EXPECT_TRUE(Read("<GameVersion PackageCode=\"1\">").entries.empty());
  EXPECT_EQ(Read("<GameVersion PackageCode=\"1\"></GameVersion >").entries.size(), 1u);

  // A second ">" before the next "<" closes another entry holding what was
  // read since the first.
  const ConfigFields twice =
      Read("<GameVersion PackageCode=\"1\" ProductName=\"p\"></GameVersion> Type=\"t\" > <x></x>");
  ASSERT_EQ(twice.entries.size(), 2u);
  EXPECT_EQ(twice.entries[1].PackageCode, "");
  EXPECT_EQ(twice.entries[1].ProductName, "p");
  EXPECT_EQ(twice.entries[1].Type, (StringList{"t"}));
}

TEST(ReadConfig, KeysAreMatchedExactly) {
  const ConfigFields fields = Read(
      "<?xml WebAddr=\"decl\"?><a WebAddr=\"one\" webaddr=\"lower\" ForceUpdateVersion=\"5\">"
      "<b WebAddr=\"two\" Unknown=\"x\" LoginServer=\"2\"></b></a>");
  EXPECT_EQ(fields.WebAddr, "two");
  EXPECT_EQ(fields.LoginServer, "2");
  // ForceUpdateVersion is the written name only; reading knows ForceUpdate.
  EXPECT_EQ(fields.ForceUpdate, "");
  EXPECT_EQ(Read("<a ForceUpdate=\"3\"></a>").ForceUpdate, "3");
}

TEST(ReadConfig, MalformedDocumentsYieldWhatTheScanFinds) {
  // The parse fails, the scan still reads the bytes.
  CXMLFile broken;
  EXPECT_FALSE(broken.LoadText("<a><!-- c --> <b PackageCode=\"7\"></a>", true));
  broken.ReadConfig();
  EXPECT_EQ(broken.config.PackageCode, "7");

  // An unterminated value is stored empty; an over-long one is skipped.
  EXPECT_EQ(Read("<a WebAddr=\"x\" PackageName=\"open></a>").PackageName, "");
  const ConfigFields longValue =
      Read("<a WebAddr=\"" + std::string(512, 'w') + "\" PackageName=\"p\"></a>");
  EXPECT_EQ(longValue.WebAddr, "");
  EXPECT_EQ(longValue.PackageName, "p");

  // A stored file with a trailing line break is read; one that is not
  // Base64 holds no document at all.
  CXMLFile stored;
  EXPECT_TRUE(stored.LoadText(Base64Encode("<a WebAddr=\"x\"></a>") + "\n", false));
  stored.ReadConfig();
  EXPECT_EQ(stored.config.WebAddr, "x");
  CXMLFile notStored;
  EXPECT_FALSE(notStored.LoadText("<a WebAddr=\"x\"></a>", false));
  notStored.ReadConfig();
  EXPECT_EQ(notStored.config.WebAddr, "");
  EXPECT_EQ(notStored.config.LoginServer, "0");
}

TEST(ReadConfig, AManifestElementNamesItsEntrysManifestAndNothingElse) {
  const std::string entries =
      "<GameVersion PackageCode=\"0001\"></GameVersion>\n"
      "<GameVersion PackageCode=\"0002\">\n"
      "<File Type=\"normal\" SourceFileAddr=\"http://x/p.zip\" Sha256=\"ab\" Size=\"3\" Href=\"http://x/no\"></File>\n";
  const std::string manifest =
      "<Manifest Format=\"1\" Href=\"http://x/manifests/cd\" Digest=\"cd\" Bytes=\"12\" "
      "Mirrors=\"http://a.example/game/;https://b.example/game/\"></Manifest>\n";
  const std::string withManifest = "<?xml version=\"1.0\"?>\n" + entries + manifest + "</GameVersion>\n";
  const std::string without = "<?xml version=\"1.0\"?>\n" + entries + "</GameVersion>\n";
  CXMLFile tree;
  EXPECT_TRUE(tree.LoadText(withManifest, true)) << "launchers of today load it as before";

  const ConfigFields fields = Read(withManifest);
  const ConfigFields legacy = Read(without);
  ASSERT_EQ(fields.entries.size(), 2u);
  EXPECT_FALSE(fields.entries[0].Manifest);
  ASSERT_TRUE(fields.entries[1].Manifest);
  const ManifestLink& link = *fields.entries[1].Manifest;
  EXPECT_EQ(link.Format + " " + link.Href + " " + link.Digest + " " + link.Bytes, "1 http://x/manifests/cd cd 12");
  EXPECT_EQ(link.Mirrors, "http://a.example/game/;https://b.example/game/");
  EXPECT_FALSE(legacy.entries[1].Manifest) << "Href on another element is not the manifest's";
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(fields.entries[i].PackageCode, legacy.entries[i].PackageCode);
    EXPECT_EQ(fields.entries[i].Type, legacy.entries[i].Type);
    EXPECT_EQ(fields.entries[i].SourceFileAddr, legacy.entries[i].SourceFileAddr);
    EXPECT_EQ(fields.entries[i].SourceFileChecks.size(), legacy.entries[i].SourceFileChecks.size());
  }
  EXPECT_EQ(fields.entries[1].SourceFileChecks[0].Sha256, "ab");
  EXPECT_EQ(fields.entries[1].SourceFileChecks[0].Size, "3");
}
