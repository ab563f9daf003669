// farpublish check against a site served by a real HTTP server on
// loopback: a sound site passes, and each fault a publisher can make is
// found and named on a line of its own.
#include <gtest/gtest.h>

#include <functional>

#include "manifest/manifest_text.h"
#include "manifest/zstd_frames.h"
#include "support/program_bytes.h"
#include "support/recording_http_server.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"
#include "build/zip_writer.h"

namespace fs = std::filesystem;

namespace {

class FarpublishCheck : public TwoBuildsTest {
 protected:
  void SetUp() override {
    TwoBuildsTest::SetUp();
    keys = MinisignGenerate(site.Path(), "publisher");
    const PublishRun built = site.Build({"--base-url", server.Url("/site"), "--sign", keys.secretKey});
    ASSERT_EQ(built.status, 0) << built.err;
    files = SnapshotTree(site.Site());
    // The site's files as they stand in `files` when asked for.
    server.Route("/site/(.*)", [this](const httplib::Request& request, httplib::Response& response) {
      const auto file = files.find(request.matches[1]);
      if (file == files.end()) {
        response.status = 404;
      } else {
        response.set_content(file->second, "application/octet-stream");
      }
    });
  }

  // Changes the document and signs it again, so that only the change is
  // wrong with it.
  void EditDocument(const std::string& from, const std::string& to) {
    std::string& document = files.at("servercfg.xml");
    ASSERT_NE(document.find(from), std::string::npos) << from;
    document.replace(document.find(from), from.size(), to);
    SignAs(server.Url("/site/servercfg.xml"));
  }

  // Signs the document as it stands with minisign, naming `url` as its address.
  void SignAs(const std::string& url) {
    const fs::path path = site.Path() / "edited.xml";
    WriteFile(path, files.at("servercfg.xml"));
    MinisignSignOptions options;
    options.trustedComment = "timestamp:1700000000\tfile:servercfg.xml\turl:" + url;
    ASSERT_TRUE(MinisignSign(keys, path.string(), path.string() + ".minisig", options));
    files["servercfg.xml.minisig"] = ReadFile(path.string() + ".minisig");
  }

  // Publishes `archive` as patch-0002.zip, its hash and size announced.
  void ReplacePatch(const std::string& archive) { Replace("patch-0002.zip", "Size", archive); }
  void ReplaceFullPackage(const std::string& archive) { Replace("client-0002.zip", "MiniSize", archive); }
  void Replace(const std::string& name, const std::string& sizeAttribute, const std::string& archive) {
    const std::string old = files.at(name);
    EditDocument(Sha256Of(old) + "\" " + sizeAttribute + "=\"" + std::to_string(old.size()) + "\"",
                 Sha256Of(archive) + "\" " + sizeAttribute + "=\"" + std::to_string(archive.size()) + "\"");
    files[name] = archive;
  }

  // An archive of the second build's files under the given entry names.
  std::string ArchiveOf(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::vector<BuildFile> written;
    for (const auto& [name, file] : entries) written.push_back({name, site.Versions() / "0002-1.0.2" / file, 1, false});
    const fs::path archive = site.Path() / "archive.zip";
    fs::remove(archive);
    std::string error;
    EXPECT_TRUE(WriteArchive(archive, written, error)) << error;
    return ReadFile(archive);
  }

  PublishRun Check(bool withKey = true) {
    std::vector<std::string> args = {"check", server.Url("/site/servercfg.xml")};
    if (withKey) args.insert(args.end(), {"--key", keys.publicKey});
    return Farpublish(args);
  }

  RecordingHttpServer server;
  MinisignKeys keys;
  TreeSnapshot files;
};

}  // namespace

TEST_F(FarpublishCheck, SoundSitePasses) {
  for (const bool withKey : {true, false}) {
    const PublishRun run = Check(withKey);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, std::string("sound: 2 versions up to 0002, 2 files, 3 objects, 0 deltas, ") +
                           (withKey ? "signed by the publisher\n"
                                    : "signature not checked (no --key): launchers without a key install "
                                      "whatever the network gives them\n"));
  }
  EXPECT_EQ(server.Hits("/site/patch-0002.zip"), 2);
  EXPECT_EQ(server.Hits("/site/client-0002.zip"), 2);
  // The launcher finds client.exe whatever its letter case; without it a
  // full package would be installed at every start.
  ReplaceFullPackage(ArchiveOf({{"Client.EXE", "client.exe"}, {"data/a.txt", "data/a.txt"}}));
  EXPECT_EQ(Check().status, 0);
  ReplaceFullPackage(ArchiveOf({{"data/a.txt", "data/a.txt"}}));
  const PublishRun withoutClient = Check();
  EXPECT_EQ(withoutClient.status, 1);
  EXPECT_NE(withoutClient.out.find("holds no client.exe"), std::string::npos) << withoutClient.out;

  EXPECT_EQ(Farpublish({"check"}).status, 2);
  EXPECT_EQ(Farpublish({"check", server.Url("/site/servercfg.xml"), "--key"}).status, 2);
}

TEST_F(FarpublishCheck, EachFaultIsFoundOnALineOfItsOwn) {
  const std::string patchUrl = server.Url("/site/patch-0002.zip");
  struct Fault {
    const char* what;
    std::function<void()> inject;
    std::string line;
  };
  const std::vector<Fault> faults = {
      {"wrong hash",
       [&] { files.at("client-0002.zip").back() ^= 1; },
       "full package client.zip (" + server.Url("/site/client-0002.zip") + "): SHA-256 mismatch"},
      {"missing archive", [&] { files.erase("patch-0002.zip"); },
       "version 0002 item patch-0002.zip (" + patchUrl + "): HTTP 404"},
      {"broken chain", [&] { EditDocument("PackageCode=\"0002\"", "PackageCode=\"0001\""); },
       "broken chain: version 0001 follows 0001 but does not sort after it"},
      {"bad signature",
       [&] {
         const MinisignKeys other = MinisignGenerate(site.Path(), "other");
         const fs::path document = site.Site() / "servercfg.xml";
         ASSERT_TRUE(MinisignSign(other, document.string(), (site.Path() / "other.minisig").string()));
         files["servercfg.xml.minisig"] = ReadFile(site.Path() / "other.minisig");
       },
       "server document (" + server.Url("/site/servercfg.xml") + "): signature refused"},
      {"unsafe entry name",
       [&] {
         const fs::path evil = site.Path() / "evil.zip";
         std::string error;
         ASSERT_TRUE(WriteArchive(evil, {{"data/b.txt", site.Versions() / "0002-1.0.2/data/b.txt", 1, false},
                                         {"../outside.txt", site.Versions() / "0002-1.0.2/data/b.txt", 1, false}},
                                  error))
             << error;
         ReplacePatch(ReadFile(evil));
       },
       "version 0002 item patch-0002.zip (" + patchUrl +
           "): entry \"../outside.txt\": the name leaves the game directory"},
      {"launcher item without the launcher", [&] { EditDocument("Type=\"normal\"", "Type=\"farLaunch\""); },
       "version 0002 item patch-0002.zip (" + patchUrl +
           "): the launcher's archive starts with \"data/b.txt\", not farLaunch.exe"},
      {"damaged entry",
       [&] {
         std::string archive = files.at("patch-0002.zip");
         archive[archive.find("data/b.txt") + 10] ^= 0x55;  // the entry's first data byte
         ReplacePatch(archive);
       },
       "version 0002 item patch-0002.zip (" + patchUrl + "): entry \"data/b.txt\": "},
      {"document of another address", [&] { SignAs(server.Url("/other/servercfg.xml")); },
       "server document (" + server.Url("/site/servercfg.xml") +
           "): a document for another address: its signature names " + server.Url("/other/servercfg.xml")},
      {"commented-out markup", [&] { EditDocument("<GameVersion", "<!-- Note=\"old build\" --><GameVersion"); },
       "server document (" + server.Url("/site/servercfg.xml") +
           "): commented-out markup is still read by launchers: <!-- Note=\"old build\" -->"},
  };
  const TreeSnapshot sound = files;
  for (const Fault& fault : faults) {
    files = sound;
    fault.inject();
    const PublishRun run = Check();
    EXPECT_EQ(run.status, 1) << fault.what;
    EXPECT_EQ(run.out.rfind(fault.line, 0), 0u) << fault.what << ":\n" << run.out;
    EXPECT_NE(run.out.find("\n1 problem\n"), std::string::npos) << fault.what << ":\n" << run.out;
  }
}

TEST_F(FarpublishCheck, AMissingOrDamagedObjectOrManifestIsFound) {
  const auto object = [](const std::string& content) {
    return "objects/" + Sha256Of(content).substr(0, 2) + "/" + Sha256Of(content);
  };
  const PublishRun sample = Farpublish({"check", server.Url("/site/servercfg.xml"), "--sample", "1"});
  EXPECT_EQ(sample.status, 0) << sample.out;
  EXPECT_NE(sample.out.find(", 1 objects, "), std::string::npos) << sample.out;
  for (const char* bad : {"x", "0", "-1"}) {
    EXPECT_EQ(Farpublish({"check", server.Url("/site/servercfg.xml"), "--sample", bad}).status, 2) << bad;
  }

  files.erase(object("b"));
  files[object("a")] = "A";
  PublishRun run = Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("object of data/a.txt (" + server.Url("/site/" + object("a")) + "): "), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("object of data/b.txt (" + server.Url("/site/" + object("b")) + "): "), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n2 problems\n"), std::string::npos) << run.out;

  const auto manifests = ElementAttributes(site.Site() / "servercfg.xml", "Manifest");
  ASSERT_EQ(manifests.size(), 2u);
  files["manifests/" + manifests[1].at("Digest")] += "x";
  run = Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("manifest (" + manifests[1].at("Href") + "): ", 0), 0u) << run.out;
}

// Names a game directory on Windows cannot hold as files of their own, in
// the newest manifest of a site some other tool made.
TEST_F(FarpublishCheck, NamesWindowsCannotHoldAreFound) {
  const std::string digest = ElementAttributes(site.Site() / "servercfg.xml", "Manifest").back().at("Digest");
  std::string text;
  std::string reason;
  ReleaseManifest manifest;
  ASSERT_TRUE(DecodeZstdFrame(files.at("manifests/" + digest), 1 << 20, text, reason) &&
              ParseManifest(text, manifest, reason))
      << reason;
  manifest.files.at(0).name = "client.exe.";
  manifest.files.at(2).name = "data/con.txt";
  const std::string frame = EncodeZstdFrame(ManifestText(manifest), 19);
  const std::string renamed = Sha256Of(frame);
  files["manifests/" + renamed] = frame;
  const std::string bytes = std::to_string(files.at("manifests/" + digest).size());
  EditDocument(digest + "\" Digest=\"" + digest + "\" Bytes=\"" + bytes,
               renamed + "\" Digest=\"" + renamed + "\" Bytes=\"" + std::to_string(frame.size()));
  const PublishRun run = Check();
  EXPECT_EQ(run.status, 1);
  const std::string label = "manifest (" + server.Url("/site/manifests/" + renamed) + "): ";
  EXPECT_EQ(run.out.rfind(label + "client.exe.: \"client.exe.\" ends in a dot or a space, which Windows drops: "
                          "another name for the same file\n" +
                          label + "data/con.txt: \"con.txt\" is a device name on Windows\n2 problems\n", 0),
            0u)
      << run.out;
}

TEST_F(FarpublishCheck, EachMirrorMustHoldEveryObject) {
  const PublishRun built = site.Build({"--base-url", server.Url("/site"), "--sign", keys.secretKey, "--mirror",
                                       server.Url("/mirror")});
  ASSERT_EQ(built.status, 0) << built.err;
  files = SnapshotTree(site.Site());
  TreeSnapshot mirror = files;
  server.Route("/mirror/(.*)", [&mirror](const httplib::Request& request, httplib::Response& response) {
    const auto file = mirror.find(request.matches[1]);
    if (file == mirror.end()) {
      response.status = 404;
    } else {
      response.set_content(file->second, "application/octet-stream");
    }
  });
  EXPECT_EQ(Check().status, 0);

  const std::string a = "objects/" + Sha256Of("a").substr(0, 2) + "/" + Sha256Of("a");
  mirror.at(a) = "A";
  const PublishRun run = Check();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("object of data/a.txt (" + server.Url("/mirror/" + a) + "): "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n1 problem\n"), std::string::npos) << run.out;
}

TEST_F(FarpublishCheck, AnUpdateBlockAddrThatIsNoServerDocumentIsNoted) {
  files["moved.xml"] = files.at("servercfg.xml");
  files["download.html"] = "<html><body>Download the new client</body></html>";
  const std::string site = "<Site";
  for (const std::string block : {"moved.xml", "download.html"}) {
    files.at("servercfg.xml") = SnapshotTree(this->site.Site()).at("servercfg.xml");
    EditDocument(site, site + " UpdateBlockAddr=\"" + server.Url("/site/" + block) + "\"");
    const PublishRun run = Check();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("note: UpdateBlockAddr (" + server.Url("/site/" + block) + ") is no server document"),
              block == "moved.xml" ? std::string::npos : 0u)
        << run.out;
    EXPECT_EQ(server.Hits("/site/" + block), 1);
  }
}

// A site for both platforms: each platform's launcher is checked, whichever
// platform farpublish runs on.
TEST_F(FarpublishCheck, EveryPlatformsLauncherIsChecked) {
  site.Write("0001-1.0.1", "farLaunch.exe", ProgramBytes(ExecutableFormat::WindowsPe, "windows 1"));
  site.Write("0001-1.0.1", "farLaunch", ProgramBytes(ExecutableFormat::LinuxElf, "linux 1"));
  site.Write("0002-1.0.2", "farLaunch.exe", ProgramBytes(ExecutableFormat::WindowsPe, "windows 2"));
  site.Write("0002-1.0.2", "farLaunch", ProgramBytes(ExecutableFormat::LinuxElf, "linux 2"));
  const PublishRun built = site.Build({"--base-url", server.Url("/site"), "--sign", keys.secretKey});
  ASSERT_EQ(built.status, 0) << built.err;
  files = SnapshotTree(site.Site());
  const PublishRun sound = Check();
  EXPECT_EQ(sound.status, 0) << sound.out;
  EXPECT_NE(sound.out.find("4 files"), std::string::npos) << sound.out;

  for (const char* archive : {"launcher-0002.zip", "launcher-linux-0002.zip"}) {
    const std::string published = files.at(archive);
    files.at(archive).back() ^= 1;
    const PublishRun run = Check();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find(std::string(archive) + " (" + server.Url("/site/") + archive + "): SHA-256 mismatch"),
              std::string::npos)
        << run.out;
    files.at(archive) = published;
  }
}
