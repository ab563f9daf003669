// farpublish prune on a site built release by release: what only older
// releases used goes, everything else stays as it was, and the site
// still checks sound as launchers see it.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "manifest/release_manifest.h"
#include "support/random_bytes.h"
#include "support/recording_http_server.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

// Four releases, each built into the site in turn, signed: client.exe
// changes every time, data/a.txt at 0002, data/c.txt comes at 0003 and
// changes at 0004, data/keep.bin never changes.
class FarpublishPrune : public ::testing::Test {
 protected:
  void SetUp() override {
    keys = MinisignGenerate(site.Path(), "publisher");
    std::mt19937 random(7);
    const std::string program = RandomBytes(random, 40000);
    for (int release = 1; release <= 4; ++release) client[release] = program + "client " + std::to_string(release);
    a[1] = program.substr(0, 30000) + "a1";
    a[2] = program.substr(0, 30000) + "a2";
    c[3] = program.substr(10000) + "c3";
    c[4] = program.substr(10000) + "c4";
    site.Write(Release(1), "data/keep.bin", RandomBytes(random, 5000));
    site.Write(Release(1), "data/a.txt", a[1]);
    for (int release = 1; release <= 4; ++release) {
      if (release > 1) site.Copy(Release(release - 1), Release(release));
      site.Write(Release(release), "client.exe", client[release]);
      if (release == 2) site.Write(Release(release), "data/a.txt", a[2]);
      if (release >= 3) site.Write(Release(release), "data/c.txt", c[release]);
      const PublishRun built = site.Build({"--base-url", server.Url("/site"), "--sign", keys.secretKey});
      ASSERT_EQ(built.status, 0) << built.err;
    }
    server.Route("/site/(.*)", [this](const httplib::Request& request, httplib::Response& response) {
      const fs::path file = site.Site() / request.matches[1].str();
      if (!fs::is_regular_file(file)) {
        response.status = 404;
      } else {
        response.set_content(ReadFile(file), "application/octet-stream");
      }
    });
  }

  static std::string Release(int release) {
    return "000" + std::to_string(release) + "-1.0." + std::to_string(release);
  }
  static std::string Object(const std::string& content) { return "objects/" + ObjectName(Sha256Of(content)); }
  static std::string Delta(const std::string& from, const std::string& to) {
    return "deltas/" + DeltaName(Sha256Of(from), Sha256Of(to));
  }

  PublishRun Prune(const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> args = {"prune", site.Site().string(), "--keep", "2", "--key", keys.publicKey};
    args.insert(args.end(), extra.begin(), extra.end());
    return Farpublish(args);
  }

  PublishWorkspace site;
  RecordingHttpServer server;
  MinisignKeys keys;
  std::map<int, std::string> client;
  std::map<int, std::string> a;
  std::map<int, std::string> c;
};

TEST_F(FarpublishPrune, RemovesWhatOnlyOlderReleasesUsedAndTheSiteStaysSound) {
  const TreeSnapshot before = SnapshotTree(site.Site());
  // Old full packages, the contents only 0001 and 0002 had, the deltas
  // made for 0002 and 0003 (only the newest release lists deltas), and the
  // manifests of older releases as they stood before the newest build
  // listed them anew. data/a.txt's delta from 0001 stays: 0004 lists it.
  std::set<std::string> expected = {
      "client-0001.zip",           "client-0002.zip",           "client-0003.zip",
      Object(client[1]),           Object(client[2]),           Object(a[1]),
      Delta(client[1], client[2]), Delta(client[1], client[3]), Delta(client[2], client[3])};
  std::set<std::string> namedManifests;
  for (const auto& link : ElementAttributes(site.Site() / "servercfg.xml", "Manifest")) {
    namedManifests.insert("manifests/" + link.at("Href").substr(link.at("Href").rfind('/') + 1));
  }
  ASSERT_EQ(namedManifests.size(), 4u);
  for (const auto& entry : before) {
    if (entry.first.rfind("manifests/", 0) == 0 && namedManifests.count(entry.first) == 0) {
      expected.insert(entry.first);
    }
  }
  for (const std::string& name : expected) ASSERT_EQ(before.count(name), 1u) << name;
  ASSERT_EQ(before.count(Delta(a[1], a[2])), 1u);

  const PublishRun dry = Prune({"--dry-run"});
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(SnapshotTree(site.Site()), before) << "a dry run changes nothing";

  const PublishRun pruned = Prune();
  ASSERT_EQ(pruned.status, 0) << pruned.err;
  const TreeSnapshot after = SnapshotTree(site.Site());
  std::set<std::string> removed;
  std::uintmax_t freed = 0;
  std::string listed;
  for (const auto& [name, bytes] : before) {
    if (after.count(name) == 0) {
      removed.insert(name);
      freed += bytes.size();
      listed += "removed " + name + " (" + std::to_string(bytes.size()) + " bytes)\n";
    } else {
      EXPECT_EQ(after.at(name), bytes) << name;
    }
  }
  EXPECT_EQ(removed, expected);
  EXPECT_EQ(pruned.out,
            listed + std::to_string(expected.size()) + " files, " + std::to_string(freed) + " bytes freed\n");
  std::string wouldBe = listed;
  for (std::size_t at = 0; (at = wouldBe.find("removed ", at)) != std::string::npos; at += 14) {
    wouldBe.replace(at, 8, "would remove ");
  }
  EXPECT_EQ(dry.out,
            wouldBe + std::to_string(expected.size()) + " files, " + std::to_string(freed) + " bytes would be freed\n");

  const PublishRun check = Farpublish({"check", server.Url("/site/servercfg.xml"), "--key", keys.publicKey});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  const PublishRun again = Prune();
  EXPECT_EQ(again.out, "0 files, 0 bytes freed\n");
}

TEST_F(FarpublishPrune, RemovesNothingWhenTheSiteCannotBeTrusted) {
  const TreeSnapshot before = SnapshotTree(site.Site());
  const MinisignKeys other = MinisignGenerate(site.Path(), "other");
  const PublishRun wrongKey = Farpublish({"prune", site.Site().string(), "--keep", "1", "--key", other.publicKey});
  EXPECT_EQ(wrongKey.status, 1);
  EXPECT_NE(wrongKey.err.find("servercfg.xml.minisig is not the publisher's signature of the document"),
            std::string::npos)
      << wrongKey.err;

  const std::string newestManifest = ElementAttributes(site.Site() / "servercfg.xml", "Manifest").back().at("Href");
  const fs::path manifest = site.Site() / "manifests" / newestManifest.substr(newestManifest.rfind('/') + 1);
  const std::string manifestBytes = ReadFile(manifest);
  WriteFile(manifest, "not a manifest");
  const PublishRun badManifest = Prune();
  EXPECT_EQ(badManifest.status, 1);
  EXPECT_NE(badManifest.err.find("the manifest of version 0004 (" + manifest.string() +
                                 ") is missing or not the one the document names"),
            std::string::npos)
      << badManifest.err;
  WriteFile(manifest, manifestBytes);

  WriteFile(site.Site() / "servercfg.xml", "<html>moved</html>");
  const PublishRun unread = Farpublish({"prune", site.Site().string(), "--keep", "2"});
  EXPECT_EQ(unread.status, 1);
  EXPECT_NE(unread.err.find("servercfg.xml does not read ("), std::string::npos) << unread.err;
  fs::remove(site.Site() / "servercfg.xml");
  const PublishRun missing = Farpublish({"prune", site.Site().string(), "--keep", "2"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read " + (site.Site() / "servercfg.xml").string()), std::string::npos);

  TreeSnapshot untouched = before;
  untouched.erase("servercfg.xml");
  EXPECT_EQ(SnapshotTree(site.Site()), untouched);
  EXPECT_EQ(Farpublish({"prune", site.Site().string(), "--keep", "0"}).status, 2);
  EXPECT_EQ(Farpublish({"prune", site.Site().string()}).status, 2);
}

}  // namespace
