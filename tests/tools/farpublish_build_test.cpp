// farpublish build on three client builds: the document as the launcher
// reads it, and the archives as the launcher's reader and other archivers
// read them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>

#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"
#include "support/program_bytes.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"
#include "update/site/update_documents.h"
#include "xml/base64.h"
#include "xml/xml_file.h"

namespace fs = std::filesystem;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kChinese = "data/中文/说明.txt";

// 0001 is the base. 0002 changes client.exe, deletes data/old.txt and adds
// an empty file, a nested file, a Chinese name and a name that sorts before
// "data/" in byte order. 0003 changes readme.txt and the launcher.
class FarpublishBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    site.Write("0001-1.0.1", "farLaunch.exe", "launcher 1");
    site.Write("0001-1.0.1", "client.exe", "client 1");
    site.Write("0001-1.0.1", "readme.txt", "v1");
    site.Write("0001-1.0.1", "data/map.dat", std::string(70000, 'm'));
    site.Write("0001-1.0.1", "data/old.txt", "old");
    site.Copy("0001-1.0.1", "0002-1.0.2");
    fs::remove(site.Versions() / "0002-1.0.2/data/old.txt");
    site.Write("0002-1.0.2", "client.exe", "client 2");
    fs::permissions(site.Versions() / "0002-1.0.2/client.exe", fs::perms::owner_exec, fs::perm_options::add);
    site.Write("0002-1.0.2", "data/empty.txt", "");
    site.Write("0002-1.0.2", "data/new/deep/level.bin", std::string("\0\x01\xff", 3));
    site.Write("0002-1.0.2", kChinese, "中文内容");
    site.Write("0002-1.0.2", "data-1/a", "x");
    site.Copy("0002-1.0.2", "0003-1.0.3");
    site.Write("0003-1.0.3", "readme.txt", "v3");
    site.Write("0003-1.0.3", "farLaunch.exe", "launcher 3");
  }

  std::string Url(const std::string& name) const { return std::string(PublishWorkspace::kBaseUrl) + "/" + name; }
  std::string SiteFile(const std::string& name) const { return ReadFile(site.Site() / name); }

  PublishWorkspace site;
};

// The local headers of a zip archive, as bytes say them.
struct LocalHeader {
  std::uint16_t flags;
  std::uint16_t time;
  std::uint16_t date;
  std::uint16_t extraLength;
  std::string name;
};

std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::vector<LocalHeader> LocalHeaders(const std::string& archive) {
  std::vector<LocalHeader> headers;
  std::size_t at = 0;
  while (at + 30 <= archive.size() && Le(archive, at, 4) == 0x04034b50) {
    const std::uint32_t nameLength = Le(archive, at + 26, 2);
    const std::uint32_t extraLength = Le(archive, at + 28, 2);
    headers.push_back({static_cast<std::uint16_t>(Le(archive, at + 6, 2)), static_cast<std::uint16_t>(Le(archive, at + 10, 2)),
                       static_cast<std::uint16_t>(Le(archive, at + 12, 2)), static_cast<std::uint16_t>(extraLength),
                       archive.substr(at + 30, nameLength)});
    at += 30 + nameLength + extraLength + Le(archive, at + 18, 4);
  }
  return headers;
}

// Unix permissions of each central directory entry.
std::vector<std::uint32_t> CentralPermissions(const std::string& archive) {
  std::vector<std::uint32_t> permissions;
  for (std::size_t at = archive.find("PK\x01\x02"); at != std::string::npos; at = archive.find("PK\x01\x02", at + 4)) {
    EXPECT_EQ(Le(archive, at + 5, 1), 3u) << "made on Unix";
    EXPECT_EQ(Le(archive, at + 30, 2), 0u) << "no extra field";
    permissions.push_back(Le(archive, at + 38, 4) >> 16);
  }
  return permissions;
}

}  // namespace

TEST_F(FarpublishBuild, DocumentReadsBackAsTheLauncherReadsIt) {
  const PublishRun run = site.Build({"--web-addr", "http://127.0.0.1:8080/news.html", "--block-addr",
                                     "http://127.0.0.1:8080/blocked.html", "--dump-ftp", "127.0.0.1:2121",
                                     "--product", "雾港"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "manifests/: 3 written, 0 kept\nobjects/: 10 written, 0 kept\ndeltas/: 0 written, 0 kept\n"
            "wrote patch-0002.zip\nwrote patch-0003.zip\nwrote launcher-0003.zip\nwrote client-0003.zip\n"
            "wrote servercfg.xml\n");
  EXPECT_EQ(run.err,
            "farpublish: warning: 0002-1.0.2 no longer has files of 0001-1.0.1; the patches cannot delete them, so "
            "launchers that read no manifest keep them: data/old.txt\nfarpublish: warning: 0003-1.0.3/farLaunch.exe is neither a Windows "
            "nor a Linux program: launchers skip it\nfarpublish: warning: --web-addr is not https: the page decides which "
            "server the game connects to, and anyone on the way can change a page served over http\n"
            "farpublish: warning: client.exe gets no delta: none came out smaller than its object; launchers fetch "
            "it whole\nfarpublish: warning: readme.txt gets no delta: none came out smaller than its object; "
            "launchers fetch it whole\n");

  CXMLFile document;
  ASSERT_TRUE(document.Load((site.Site() / "servercfg.xml").string(), true));
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);
  ASSERT_EQ(server.entries.size(), 3u);
  const std::string product = Gbk("雾港");
  for (int i = 0; i < 3; ++i) {
    const VersionEntry& entry = server.entries[i];
    const std::string code = "000" + std::to_string(i + 1);
    EXPECT_EQ(entry.PackageCode, code);
    EXPECT_EQ(entry.MainVersion + "." + entry.SubVersion + "." + entry.FileVersion, "1.0." + std::to_string(i + 1));
    EXPECT_EQ(entry.ProductName, product);
    EXPECT_EQ(entry.UpdateVersion, code);
  }
  const auto items = [&](int entry) {
    std::vector<std::string> found;
    for (const UpdateFileItem& item : FileItems(server.entries[entry])) {
      found.push_back(item.Type + " " + item.TargetFileName + " " + item.SourceFileAddr);
    }
    return found;
  };
  EXPECT_EQ(items(0), std::vector<std::string>{});
  EXPECT_EQ(items(1), std::vector<std::string>{"normal patch-0002.zip " + Url("patch-0002.zip")});
  // The launcher item last: the launcher restarts after it.
  EXPECT_EQ(items(2), (std::vector<std::string>{"normal patch-0003.zip " + Url("patch-0003.zip"),
                                                "farLaunch launcher-0003.zip " + Url("launcher-0003.zip")}));
  EXPECT_EQ(server.WebAddr, "http://127.0.0.1:8080/news.html");
  EXPECT_EQ(server.WebAddr1, "http://127.0.0.1:8080/news.html");
  EXPECT_EQ(server.UpdateBlockAddr, "http://127.0.0.1:8080/blocked.html");
  EXPECT_EQ(server.DumpFtpServer, "127.0.0.1");
  EXPECT_EQ(server.DumpFtpServerPort, "2121");
  EXPECT_EQ(server.MiniType, "full");
  EXPECT_EQ(server.MiniTargetFileName, "client.zip");
  EXPECT_EQ(server.MiniSourceFileAddr, Url("client-0003.zip"));

  // Each hash stands on its own item's element.
  const auto files = ElementAttributes(site.Site() / "servercfg.xml", "File");
  ASSERT_EQ(files.size(), 3u);
  for (const auto& file : files) {
    const std::string archive = SiteFile(file.at("TargetFileName"));
    EXPECT_EQ(file.at("Sha256"), Sha256Of(archive)) << file.at("TargetFileName");
    EXPECT_EQ(file.at("Size"), std::to_string(archive.size())) << file.at("TargetFileName");
  }
  const auto settings = ElementAttributes(site.Site() / "servercfg.xml", "Site");
  ASSERT_EQ(settings.size(), 1u);
  EXPECT_EQ(settings[0].at("MiniSha256"), Sha256Of(SiteFile("client-0003.zip")));
  EXPECT_EQ(settings[0].at("MiniSize"), std::to_string(SiteFile("client-0003.zip").size()));
}

TEST_F(FarpublishBuild, EachReleaseNamesAManifestOfItsFilesAndEachContentIsOneObject) {
  ASSERT_EQ(site.Build().status, 0);
  const auto elements = ElementAttributes(site.Site() / "servercfg.xml", "Manifest");
  ASSERT_EQ(elements.size(), 3u);
  const std::vector<std::vector<std::string>> names = {
      {"client.exe", "data/map.dat", "data/old.txt", "readme.txt"},
      {"client.exe", "data-1/a", "data/empty.txt", "data/map.dat", "data/new/deep/level.bin", kChinese, "readme.txt"},
      {"client.exe", "data-1/a", "data/empty.txt", "data/map.dat", "data/new/deep/level.bin", kChinese,
       "readme.txt"}};
  std::set<std::string> contents;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const auto& element = elements[i];
    const std::string build = "000" + std::to_string(i + 1) + "-1.0." + std::to_string(i + 1);
    EXPECT_EQ(element.at("Format"), "1");
    EXPECT_EQ(element.at("Href"), Url("manifests/" + element.at("Digest")));
    const std::string frame = SiteFile("manifests/" + element.at("Digest"));
    EXPECT_EQ(Sha256Of(frame), element.at("Digest"));
    EXPECT_EQ(std::to_string(frame.size()), element.at("Bytes"));
    std::string text;
    std::string reason;
    ASSERT_TRUE(DecodeZstdFrame(frame, 1 << 20, text, reason)) << reason;
    ReleaseManifest manifest;
    ASSERT_TRUE(ParseManifest(text, manifest, reason)) << reason;
    EXPECT_EQ(manifest.packageCode, build.substr(0, 4));
    EXPECT_EQ(manifest.objectsBase, Url("objects/"));
    std::vector<std::string> listed;
    for (const ManifestFile& file : manifest.files) {
      listed.push_back(file.name);
      const std::string content = ReadFile(site.Versions() / build / file.name);
      EXPECT_EQ(file.sha256, Sha256Of(content)) << file.name;
      EXPECT_EQ(file.size, content.size()) << file.name;
      const std::string object = SiteFile("objects/" + ObjectName(file.sha256));
      EXPECT_EQ(Sha256Of(object), file.storedSha256) << file.name;
      EXPECT_EQ(object.size(), file.storedSize) << file.name;
      std::string stored = object;
      if (file.form == StoredForm::Zstd) {
        EXPECT_TRUE(DecodeZstdFrame(object, file.size, stored, reason)) << reason;
      }
      EXPECT_EQ(stored, content) << file.name;
      // Compressed only where that is smaller.
      EXPECT_EQ(file.form == StoredForm::Zstd, file.name == "data/map.dat") << file.name;
      contents.insert(file.sha256);
    }
    EXPECT_EQ(listed, names[i]) << "not the launcher's own files";
  }
  std::size_t objects = 0;
  for (const auto& entry : fs::recursive_directory_iterator(site.Site() / "objects")) objects += entry.is_regular_file();
  EXPECT_EQ(objects, contents.size()) << "each content once";
}

// For players who all run the original launcher: the patches alone.
TEST_F(FarpublishBuild, NoManifestsPublishesThePatchesAlone) {
  const PublishRun run = site.Build({"--no-manifests"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "wrote patch-0002.zip\nwrote patch-0003.zip\nwrote launcher-0003.zip\nwrote client-0003.zip\n"
                     "wrote servercfg.xml\n");
  EXPECT_TRUE(ElementAttributes(site.Site() / "servercfg.xml", "Manifest").empty());
  EXPECT_EQ(ElementAttributes(site.Site() / "servercfg.xml", "GameVersion").size(), 3u);
  for (const char* folder : {"objects", "manifests", "deltas"}) EXPECT_FALSE(fs::exists(site.Site() / folder));
}

TEST_F(FarpublishBuild, OnlyTheNewestManifestNamesTheMirrorsInTheirOrder) {
  ASSERT_EQ(site.Build({"--mirror", "http://a.example/game", "--mirror=https://b.example/copy/"}).status, 0);
  const auto elements = ElementAttributes(site.Site() / "servercfg.xml", "Manifest");
  ASSERT_EQ(elements.size(), 3u);
  EXPECT_EQ(elements[0].count("Mirrors") + elements[1].count("Mirrors"), 0u);
  EXPECT_EQ(elements[2].at("Mirrors"), "http://a.example/game/;https://b.example/copy/");
  CXMLFile document;
  ASSERT_TRUE(document.Load((site.Site() / "servercfg.xml").string(), true));
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);
  ASSERT_EQ(server.entries.size(), 3u);
  ASSERT_TRUE(server.entries[2].Manifest);
  EXPECT_EQ(server.entries[2].Manifest->Mirrors, elements[2].at("Mirrors"));

  const std::string longest = "http://m.example/" + std::string(511 - 17 - 1, 'x') + "/";
  ASSERT_EQ(longest.size(), 511u);
  EXPECT_EQ(site.Build({"--mirror", longest}).status, 0) << "511 bytes fit";
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--mirror", "ftp://a.example/game/"}, {"--mirror", "a.example/game/"},
        {"--mirror", "http://a.example/g;b/"}, {"--mirror", "http://a.example/?g=1"},
        {"--mirror", "http://a.example/a b/"}, {"--mirror", "http://a.example/\"g/"},
        {"--mirror", longest, "--mirror", "http://b/"}}) {
    const PublishRun run = site.Build(bad);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(bad);
    EXPECT_NE(run.err.find("--mirror"), std::string::npos) << run.err;
  }
}

TEST_F(FarpublishBuild, ArchivesHoldTheChangedFilesInByteOrder) {
  ASSERT_EQ(site.Build().status, 0);
  const std::string level("\0\x01\xff", 3);
  EXPECT_EQ(ArchiveEntries(site.Site() / "patch-0002.zip"),
            (Entries{{"client.exe", "client 2"},
                     {"data-1/a", "x"},
                     {"data/empty.txt", ""},
                     {"data/new/deep/level.bin", level},
                     // Marked as UTF-8, so the launcher takes it in its code page.
                     {Gbk(kChinese), "中文内容"}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "patch-0003.zip"), (Entries{{"readme.txt", "v3"}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "launcher-0003.zip"), (Entries{{"farLaunch.exe", "launcher 3"}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "client-0003.zip"),
            (Entries{{"client.exe", "client 2"},
                     {"data-1/a", "x"},
                     {"data/empty.txt", ""},
                     {"data/map.dat", std::string(70000, 'm')},
                     {"data/new/deep/level.bin", level},
                     {Gbk(kChinese), "中文内容"},
                     {"farLaunch.exe", "launcher 3"},
                     {"readme.txt", "v3"}}));
  EXPECT_FALSE(fs::exists(site.Site() / "patch-0001.zip"));
  EXPECT_FALSE(fs::exists(site.Site() / "launcher-0002.zip"));
}

TEST_F(FarpublishBuild, ArchivesHaveFixedTimesAndAttributesAndUtf8Names) {
  ASSERT_EQ(site.Build().status, 0);
  const std::string archive = SiteFile("patch-0002.zip");
  const std::vector<LocalHeader> headers = LocalHeaders(archive);
  ASSERT_EQ(headers.size(), 5u);
  for (const LocalHeader& header : headers) {
    const bool ascii = header.name != kChinese;
    EXPECT_EQ((header.flags & 0x0800) != 0, !ascii) << header.name;
    EXPECT_EQ(header.date, (1 << 5) | 1) << header.name;  // 1980-01-01
    EXPECT_EQ(header.time, 0) << header.name;
    EXPECT_EQ(header.extraLength, 0) << header.name;
  }
  // client.exe is executable in the build.
  EXPECT_EQ(CentralPermissions(archive),
            (std::vector<std::uint32_t>{0100755, 0100644, 0100644, 0100644, 0100644}));
}

TEST_F(FarpublishBuild, OtherArchiversReadTheArchives) {
  ASSERT_EQ(site.Build().status, 0);
  const std::string patch = ShellQuoted((site.Site() / "patch-0002.zip").string());
  const ShellRun test = RunShell("LC_ALL=C.UTF-8 unzip -tq " + patch);
  EXPECT_EQ(test.status, 0) << test.out;
  const ShellRun list = RunShell("LC_ALL=C.UTF-8 unzip -Z1 " + patch);
  EXPECT_EQ(list.out, "client.exe\ndata-1/a\ndata/empty.txt\ndata/new/deep/level.bin\n" + kChinese + "\n");
  const ShellRun bsdtar = RunShell("LC_ALL=C.UTF-8 bsdtar -tf " + patch);
  EXPECT_EQ(bsdtar.out, list.out);
  const ShellRun chinese = RunShell("LC_ALL=C.UTF-8 bsdtar -xOf " + patch + " " + ShellQuoted(kChinese));
  EXPECT_EQ(chinese.out, "中文内容");
  const ShellRun launcher = RunShell("unzip -p " + ShellQuoted((site.Site() / "launcher-0003.zip").string()));
  EXPECT_EQ(launcher.out, "launcher 3");
}

// Files the launcher owns in the game directory, whatever their letter
// case: its state stays out of the patches (updatecfg.xml only in the full
// package), the temporaries' names and the key are warned about.
TEST_F(FarpublishBuild, LauncherFilesAreLeftOutOrWarnedAbout) {
  site.Write("0003-1.0.3", "UpdateCfg.xml", "state");
  site.Write("0003-1.0.3", "farLaunch.log.1", "log");
  site.Write("0003-1.0.3", "FARLAUNCH.JOURNAL", "journal");
  site.Write("0003-1.0.3", "Diff.dat", "named like a temporary");
  site.Write("0003-1.0.3", "tmpFile3", "named like a temporary");
  site.Write("0003-1.0.3", "publisher.pub", "a new key");
  site.Write("0003-1.0.3", "data/updatecfg.xml", "the game's own");
  const fs::path game = site.Path() / "game";
  fs::create_directories(game);
  const PublishRun run = site.Build({"--game-files", game.string(), "--web-addr", "http://127.0.0.1/news"});
  ASSERT_EQ(run.status, 0) << run.err;

  EXPECT_EQ(ArchiveEntries(site.Site() / "patch-0003.zip"),
            (Entries{{"Diff.dat", "named like a temporary"},
                     {"data/updatecfg.xml", "the game's own"},
                     {"publisher.pub", "a new key"},
                     {"readme.txt", "v3"},
                     {"tmpFile3", "named like a temporary"}}));
  const auto full = ArchiveEntries(site.Site() / "client-0003.zip");
  EXPECT_NE(std::find(full.begin(), full.end(), std::make_pair(std::string("UpdateCfg.xml"), std::string("state"))),
            full.end());
  for (const auto& [name, bytes] : full) {
    EXPECT_TRUE(name != "farLaunch.log.1" && name != "FARLAUNCH.JOURNAL") << name;
  }
  for (const char* warned : {"UpdateCfg.xml is the launcher's own state: left out of the patches; the full package",
                             "farLaunch.log.1 is the launcher's own state: left out of the patches and of the full",
                             "FARLAUNCH.JOURNAL is the launcher's own state",
                             "Diff.dat has the name of one of the launcher's temporary files",
                             "tmpFile3 has the name of one of the launcher's temporary files",
                             "publisher.pub is shipped"}) {
    EXPECT_NE(run.err.find(std::string("farpublish: warning: ") + warned), std::string::npos) << warned << run.err;
  }
  EXPECT_EQ(run.err.find("data/updatecfg.xml"), std::string::npos) << run.err;

  // The starting version document, stored: the newest build, this site.
  const std::optional<std::string> plain = Base64Decode(ReadFile(game / "updatecfg.xml"));
  ASSERT_TRUE(plain.has_value());
  WriteFile(site.Path() / "updatecfg.plain", *plain);
  const auto version = ElementAttributes(site.Path() / "updatecfg.plain", "GameVersion");
  ASSERT_EQ(version.size(), 1u);
  EXPECT_EQ(version[0].at("PackageCode"), "0003");
  EXPECT_EQ(version[0].at("FileVersion"), "3");
  EXPECT_EQ(version[0].at("UpdateServerAddr"), Url("servercfg.xml"));
  EXPECT_EQ(version[0].at("WebAddr"), "http://127.0.0.1/news");
}

// A build for both platforms: farLaunch.exe the Windows launcher, farLaunch
// the Linux one. The File item carries the Windows launcher, as the
// original's launchers expect; a Launcher element per platform names each
// launcher's own archive (both holding it as farLaunch.exe); neither the
// patches, the full package nor the manifests carry a launcher.
TEST(FarpublishTwoPlatforms, EachLauncherHasItsOwnArchiveAndLauncherElement) {
  PublishWorkspace site;
  const std::string windows2 = ProgramBytes(ExecutableFormat::WindowsPe, "windows 2");
  const std::string linux2 = ProgramBytes(ExecutableFormat::LinuxElf, "linux 2");
  site.Write("0001-1.0.1", "farLaunch.exe", ProgramBytes(ExecutableFormat::WindowsPe, "windows 1"));
  site.Write("0001-1.0.1", "farLaunch", ProgramBytes(ExecutableFormat::LinuxElf, "linux 1"));
  site.Write("0001-1.0.1", "client.exe", "client 1");
  site.Copy("0001-1.0.1", "0002-1.0.2");
  site.Write("0002-1.0.2", "farLaunch.exe", windows2);
  site.Write("0002-1.0.2", "farLaunch", linux2);
  site.Write("0002-1.0.2", "client.exe", "client 2");
  const PublishRun run = site.Build({"--web-addr", "https://127.0.0.1/news"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto url = [](const std::string& name) { return std::string(PublishWorkspace::kBaseUrl) + "/" + name; };

  EXPECT_EQ(ArchiveEntries(site.Site() / "launcher-0002.zip"), (Entries{{"farLaunch.exe", windows2}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "launcher-linux-0002.zip"), (Entries{{"farLaunch.exe", linux2}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "patch-0002.zip"), (Entries{{"client.exe", "client 2"}}));
  EXPECT_EQ(ArchiveEntries(site.Site() / "client-0002.zip"), (Entries{{"client.exe", "client 2"}}));
  for (const auto& [name, bytes] : SnapshotTree(site.Site() / "objects")) {
    EXPECT_EQ(ExecutableFormatOf(bytes), ExecutableFormat::Other) << name << " is a launcher";
  }
  const auto files = ElementAttributes(site.Site() / "servercfg.xml", "File");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[1].at("Type"), "farLaunch");
  EXPECT_EQ(files[1].at("SourceFileAddr"), url("launcher-0002.zip"));
  const auto launchers = ElementAttributes(site.Site() / "servercfg.xml", "Launcher");
  ASSERT_EQ(launchers.size(), 2u);
  const std::pair<const char*, const char*> expected[] = {{"windows-x86_64", "launcher-0002.zip"},
                                                          {"linux-x86_64", "launcher-linux-0002.zip"}};
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string archive = ReadFile(site.Site() / expected[i].second);
    EXPECT_EQ(launchers[i], (std::map<std::string, std::string>{{"Platform", expected[i].first},
                                                                {"Href", url(expected[i].second)},
                                                                {"Digest", Sha256Of(archive)},
                                                                {"Bytes", std::to_string(archive.size())}}));
  }

  // A Linux launcher beside a farLaunch.exe that is no Windows program.
  site.Write("0002-1.0.2", "farLaunch", "no program");
  const PublishRun notLinux = site.Build();
  EXPECT_NE(notLinux.status, 0);
  EXPECT_NE(notLinux.err.find("0002-1.0.2/farLaunch is not a Linux program"), std::string::npos) << notLinux.err;
  site.Write("0002-1.0.2", "farLaunch", linux2);
  site.Write("0002-1.0.2", "farLaunch.exe", ProgramBytes(ExecutableFormat::LinuxElf, "another linux"));
  const PublishRun twoLinux = site.Build();
  EXPECT_NE(twoLinux.status, 0);
  EXPECT_NE(twoLinux.err.find("0002-1.0.2 holds two Linux launchers"), std::string::npos) << twoLinux.err;
}
