// farpublish build's deltas: the newest build's changed files get one from
// each other content of the last K builds, listed only when smaller than
// the object (a warning names a changed file without one); published
// deltas are kept and checked; farpublish check fetches them.
#include <gtest/gtest.h>

#include <random>

#include "manifest/manifest_text.h"
#include "manifest/zstd_delta.h"
#include "manifest/zstd_frames.h"
#include "build/delta_store.h"
#include "build/site_staging.h"
#include "support/recording_http_server.h"
#include "tools/farpublish_fixture.h"

namespace fs = std::filesystem;

namespace {

class FarpublishDeltas : public TwoBuildsTest {
 protected:
  void SetUp() override {
    TwoBuildsTest::SetUp();
    std::mt19937 random(29);
    std::string pak(200000, '\0');
    for (char& byte : pak) byte = static_cast<char>(random());
    for (const char* build : {"0001-1.0.1", "0002-1.0.2", "0003-1.0.3", "0004-1.0.4"}) {
      if (std::string(build) >= "0003") site.Copy("0002-1.0.2", build);
      pak.replace(random() % 190000, 64, std::string(64, static_cast<char>(random())));
      paks.push_back(pak);
      site.Write(build, "data/big.pak", pak);
    }
    site.Write("0004-1.0.4", "data/a.txt", "A");
  }

  ReleaseManifest Newest() const {
    const auto manifests = ElementAttributes(site.Site() / "servercfg.xml", "Manifest");
    std::string text;
    std::string reason;
    ReleaseManifest manifest;
    EXPECT_TRUE(DecodeZstdFrame(ReadFile(site.Site() / "manifests" / manifests.back().at("Digest")), 1 << 20, text,
                                reason) &&
                ParseManifest(text, manifest, reason))
        << reason;
    return manifest;
  }

  static const ManifestFile& Named(const ReleaseManifest& manifest, const std::string& name) {
    for (const ManifestFile& file : manifest.files) {
      if (file.name == name) return file;
    }
    throw std::runtime_error("no " + name);
  }

  std::string DeltaFile(const std::string& from, const std::string& to) const {
    return "deltas/" + Sha256Of(from) + "-" + Sha256Of(to);
  }

  std::vector<std::string> paks;  // big.pak of each build
};

}  // namespace

TEST_F(FarpublishDeltas, NewestFilesGetDeltasFromTheLastBuilds) {
  PublishRun run = site.Build({"--deltas", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("deltas/: 2 written, 0 kept\n"), std::string::npos) << run.out;
  ReleaseManifest manifest = Newest();
  EXPECT_EQ(manifest.deltasBase, std::string(PublishWorkspace::kBaseUrl) + "/deltas/");
  const ManifestFile& pak = Named(manifest, "data/big.pak");
  ASSERT_EQ(pak.deltas.size(), 2u);
  for (const std::size_t source : {2u, 1u}) {
    const ManifestDelta& delta = pak.deltas[2 - source];
    EXPECT_EQ(delta.sourceSha256, Sha256Of(paks[source]));
    const std::string bytes = ReadFile(site.Site() / DeltaFile(paks[source], paks[3]));
    EXPECT_EQ(delta.storedSize, bytes.size());
    EXPECT_EQ(delta.storedSha256, Sha256Of(bytes));
    EXPECT_LT(bytes.size(), 1000u);
    std::string made;
    std::string reason;
    EXPECT_TRUE(ApplyZstdDelta(paks[source], bytes, paks[3].size(), made, reason)) << reason;
    EXPECT_EQ(made, paks[3]);
  }
  EXPECT_TRUE(Named(manifest, "data/a.txt").deltas.empty()) << "no smaller than its object";
  EXPECT_FALSE(fs::exists(site.Site() / DeltaFile("a", "A")));
  // The publisher hears of each changed file that goes whole to players.
  EXPECT_NE(run.err.find("farpublish: warning: data/a.txt gets no delta: none came out smaller than its object; "
                         "launchers fetch it whole\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("big.pak gets no delta"), std::string::npos) << run.err;

  // One more build back: the published deltas are kept as they are.
  const TreeSnapshot before = SnapshotTree(site.Site() / "deltas");
  run = site.Build({"--deltas", "3"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("deltas/: 1 written, 2 kept\n"), std::string::npos) << run.out;
  EXPECT_EQ(Named(Newest(), "data/big.pak").deltas.size(), 3u);
  for (const auto& [name, bytes] : before) EXPECT_EQ(ReadFile(site.Site() / "deltas" / name), bytes) << name;

  // A published delta that does not make its content stops the build.
  WriteFile(site.Site() / DeltaFile(paks[2], paks[3]), "not a delta");
  const TreeSnapshot damaged = SnapshotTree(site.Site());
  run = site.Build();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is published already but does not make the content its name gives"), std::string::npos)
      << run.err;
  EXPECT_EQ(SnapshotTree(site.Site()), damaged);

  fs::remove_all(site.Site());
  ASSERT_EQ(site.Build({"--deltas", "0"}).status, 0);
  EXPECT_TRUE(Newest().deltasBase.empty());
  EXPECT_FALSE(fs::exists(site.Site() / "deltas"));
  for (const char* bad : {"-1", "x", "101", ""}) EXPECT_EQ(site.Build({"--deltas", bad}).status, 2) << bad;
}

// Two files of one change (the same old content to the same new content)
// share one delta, made once: the first build of such a site succeeds.
TEST_F(FarpublishDeltas, FilesOfOneChangeShareOneDelta) {
  for (const fs::directory_entry& build : fs::directory_iterator(site.Versions())) {
    fs::copy_file(build.path() / "data/big.pak", build.path() / "data/twin.pak");
  }
  const PublishRun run = site.Build({"--deltas", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("deltas/: 2 written, 0 kept\n"), std::string::npos) << run.out;
  const ReleaseManifest manifest = Newest();
  const auto sources = [&manifest](const std::string& name) {
    std::vector<std::string> listed;
    for (const ManifestDelta& delta : Named(manifest, name).deltas) {
      listed.push_back(delta.sourceSha256 + " " + delta.storedSha256);
    }
    return listed;
  };
  EXPECT_EQ(sources("data/twin.pak").size(), 2u);
  EXPECT_EQ(sources("data/twin.pak"), sources("data/big.pak"));
  for (const std::size_t source : {1u, 2u}) {
    EXPECT_TRUE(fs::exists(site.Site() / DeltaFile(paks[source], paks[3]))) << source;
  }
}

// New deltas are made at --delta-level; a delta SITE holds is kept
// whatever level made it.
TEST_F(FarpublishDeltas, NewDeltasTakeTheGivenLevel) {
  ASSERT_EQ(site.Build({"--delta-level", "1"}).status, 0);
  const TreeSnapshot quick = SnapshotTree(site.Site() / "deltas");
  ASSERT_EQ(quick.size(), 3u);
  for (const std::size_t source : {0u, 1u, 2u}) {
    std::string made;
    std::string reason;
    EXPECT_TRUE(ApplyZstdDelta(paks[source], quick.at(DeltaFile(paks[source], paks[3]).substr(7)), paks[3].size(),
                               made, reason))
        << reason;
    EXPECT_EQ(made, paks[3]);
  }
  PublishRun run = site.Build();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("deltas/: 0 written, 3 kept\n"), std::string::npos) << run.out;
  EXPECT_EQ(SnapshotTree(site.Site() / "deltas"), quick);

  fs::remove_all(site.Site());
  ASSERT_EQ(site.Build().status, 0);
  EXPECT_NE(SnapshotTree(site.Site() / "deltas"), quick) << "made at level 19";
  for (const char* bad : {"0", "23", "x", ""}) EXPECT_EQ(site.Build({"--delta-level", bad}).status, 2) << bad;
}

TEST_F(FarpublishDeltas, CheckFetchesTheListedDeltas) {
  RecordingHttpServer server;
  ASSERT_EQ(site.Build({"--base-url", server.Url("/site")}).status, 0);
  TreeSnapshot files = SnapshotTree(site.Site());
  server.Route("/site/(.*)", [&files](const httplib::Request& request, httplib::Response& response) {
    const auto file = files.find(request.matches[1]);
    if (file == files.end()) {
      response.status = 404;
    } else {
      response.set_content(file->second, "application/octet-stream");
    }
  });
  const std::vector<std::string> check = {"check", server.Url("/site/servercfg.xml")};
  PublishRun run = Farpublish(check);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find(" objects, 3 deltas, "), std::string::npos) << run.out;
  std::vector<std::string> sampled = check;
  sampled.insert(sampled.end(), {"--sample", "1"});
  EXPECT_NE(Farpublish(sampled).out.find(" 1 objects, 1 deltas, "), std::string::npos);

  files.at(DeltaFile(paks[1], paks[3])) += "x";
  run = Farpublish(check);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("delta of data/big.pak (" + server.Url("/site/" + DeltaFile(paks[1], paks[3])) + "): "),
            std::string::npos)
      << run.out;
}

// A file beyond the launcher's delta window (1 GiB) gets none, and the
// publisher hears why. Only the sizes the manifests give count, so no
// gigabyte is written here.
TEST(DeltaStoreWindow, AFileLargerThanTheWindowGetsNoDeltaAndAWarning) {
  TempDir dir;
  std::string error;
  const fs::path siteFolder = dir.Path() / "SITE";
  const std::unique_ptr<SiteStaging> staging = SiteStaging::Create(siteFolder, error);
  ASSERT_TRUE(staging) << error;
  DeltaStore deltas(siteFolder, *staging, 3, 3);
  const auto record = [](const std::string& content, std::uint64_t size) {
    return ManifestFile{"data/huge.pak", size, Sha256Of(content), StoredForm::Raw, size, Sha256Of(content), {}};
  };
  ReleaseManifest older;
  older.files = {record("old", 3)};
  deltas.Remember(older, {BuildFile{"data/huge.pak", dir.Path() / "old", 3}});
  const BuildFile newest{"data/huge.pak", dir.Path() / "new", std::uint64_t{1} << 30};
  std::vector<ManifestFile> records = {record("new", newest.size)};
  ASSERT_TRUE(deltas.Add({&newest}, records, error)) << error;
  EXPECT_TRUE(records[0].deltas.empty());
  EXPECT_EQ(deltas.Warnings(), std::vector<std::string>{"data/huge.pak gets no delta: it is larger than 1073741824 "
                                                        "bytes (the launcher's delta window); launchers fetch it "
                                                        "whole"});
}
