// Staging changed files: only a delta from the content the player's file
// holds is fetched, a delta that fails says why and its object comes
// instead, the status line counts the delta bytes, and each delta and
// object is staged as it arrives, while later ones still download.
#include <stdlib.h>

#include <atomic>
#include <random>

#include "manifest/zstd_delta.h"
#include "trust/sha256.h"
#include "update/manifest/manifest_staging.h"
#include "update/manifest/stage_folder.h"
#include "update/update_fixture.h"

namespace {

std::string Noise(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

class DeltaStaging : public UpdateFixture {
 protected:
  // A file of the newest release, changed from `installed` to `content`
  // (by a small edit), with its delta from `installed` on the site.
  PlannedFile Changed(const std::string& name, const std::string& installed) {
    std::string content = installed;
    content.replace(content.size() / 2, 40, Noise(random, 40));
    std::string delta;
    std::string reason;
    EXPECT_TRUE(MakeZstdDelta(installed, content, delta, reason)) << reason;
    ManifestFile record{name, content.size(), Sha256Of(content), StoredForm::Raw, content.size(),
                        Sha256Of(content), {{Sha256Of(installed), delta.size(), Sha256Of(delta)}}};
    // Another source beside it, as the releases before the newest give.
    record.deltas.push_back({Sha256Of("another release"), 10, Sha256Of("x")});
    site.Put("/deltas/" + DeltaName(Sha256Of(installed), record.sha256), delta);
    contents[name] = content;
    deltas[name] = delta;
    return {record, name};
  }

  std::string ObjectPath(const PlannedFile& file) {
    return std::string("/") + kObjectsFolder + ObjectName(file.record.sha256);
  }
  void PutObject(const PlannedFile& file) { site.Put(ObjectPath(file), contents[file.local]); }

  std::mt19937 random{29};
  std::map<std::string, std::string> contents;
  std::map<std::string, std::string> deltas;
};

}  // namespace

TEST_F(DeltaStaging, StagesOnlyFromTheInstalledContentsDeltaAndTheRestWhole) {
  OpenTheFailureLog();
  const std::string a = Noise(random, 60000), b = Noise(random, 50000), c = Noise(random, 40000);
  ReleaseManifest newest;
  newest.deltasBase = site.Url("/deltas/");
  ManifestPlan plan;
  plan.fetch = {Changed("a.pak", a), Changed("b.pak", b), Changed("c.pak", c)};
  const std::uint64_t objectBytes = a.size() + b.size() + c.size();
  plan.bytesToFetch = objectBytes;
  for (const PlannedFile& file : plan.fetch) PutObject(file);
  dir.Write("a.pak", a);
  dir.Write("b.pak", "changed by hand");
  dir.Write("c.pak", c);
  // The status line while c's delta downloads, with a's and b's files.
  std::string firstTotal;
  site.Route("/deltas/" + DeltaName(Sha256Of(c), Sha256Of(contents["c.pak"])),
             [&](const httplib::Request&, httplib::Response& response) {
               firstTotal = state.progress.Announcement().currentFile;
               response.set_content(std::string(90, 'x'), "application/octet-stream");
             });

  SiteSources sources(site.Url("/"), "");
  std::string address, problem;
  ASSERT_TRUE(FetchChangedFiles(state, platform, sources, newest, plan, address, problem)) << address << ": " << problem;
  for (const PlannedFile& file : plan.fetch) {
    EXPECT_EQ(dir.Read(StagedName(file.record.sha256)), contents[file.local]) << file.local;
  }
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[0])), 0);
  EXPECT_EQ(site.Hits("/deltas/" + DeltaName(Sha256Of(b), Sha256Of(contents["b.pak"]))), 0);
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[1])), 1);
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[2])), 1);
  EXPECT_NE(FailureLog().find("c.pak (" + site.Url("/deltas/" + DeltaName(Sha256Of(c), Sha256Of(contents["c.pak"]))) +
                              "): the delta failed ("),
            std::string::npos)
      << FailureLog();
  EXPECT_NE(FailureLog().find("), fetching the whole file"), std::string::npos) << FailureLog();
  // a's and c's deltas counted in place of their objects; after, c's object again.
  const std::uint64_t saved = a.size() - deltas["a.pak"].size();
  const auto total = [](const std::string& line) { return line.substr(line.find('/')); };
  EXPECT_EQ(total(firstTotal), total(FetchedOfTotal(0, objectBytes - saved - (c.size() - deltas["c.pak"].size()))));
  EXPECT_EQ(total(state.progress.Announcement().currentFile), total(FetchedOfTotal(0, objectBytes - saved)));
  EXPECT_EQ(state.progress.Announcement().fileCount, 3);
  EXPECT_EQ(plan.bytesToFetch, objectBytes - saved);
}

// A delta is taken only where its apply (the player's file and the new
// content at once) fits the memory bound; a file over it comes whole.
TEST_F(DeltaStaging, AFileWhoseDeltaDoesNotFitTheMemoryBoundComesWhole) {
  OpenTheFailureLog();
  const std::string a = Noise(random, 60000), c = Noise(random, 40000);
  ReleaseManifest newest;
  newest.deltasBase = site.Url("/deltas/");
  ManifestPlan plan;
  plan.fetch = {Changed("a.pak", a), Changed("c.pak", c)};
  plan.bytesToFetch = a.size() + c.size();
  for (const PlannedFile& file : plan.fetch) PutObject(file);
  dir.Write("a.pak", a);
  dir.Write("c.pak", c);
  setenv("FARLAUNCH_DELTA_MEMORY", "100000", 1);
  SiteSources sources(site.Url("/"), "");
  std::string address, problem;
  const bool fetched = FetchChangedFiles(state, platform, sources, newest, plan, address, problem);
  unsetenv("FARLAUNCH_DELTA_MEMORY");
  ASSERT_TRUE(fetched) << address << ": " << problem;
  for (const PlannedFile& file : plan.fetch) {
    EXPECT_EQ(dir.Read(StagedName(file.record.sha256)), contents[file.local]) << file.local;
  }
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[0])), 1);
  EXPECT_EQ(site.Hits("/deltas/" + DeltaName(Sha256Of(a), Sha256Of(contents["a.pak"]))), 0);
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[1])), 0);
  EXPECT_EQ(site.Hits("/deltas/" + DeltaName(Sha256Of(c), Sha256Of(contents["c.pak"]))), 1);
  EXPECT_NE(FailureLog().find("a.pak: no delta: applying one takes about 120000 bytes of memory, more than the "
                              "100000 it may take"),
            std::string::npos)
      << FailureLog();
}

TEST_F(DeltaStaging, EachFileIsStagedWhileALaterOneStillDownloads) {
  const std::string a = Noise(random, 60000), b = Noise(random, 50000);
  ManifestPlan plan;
  plan.fetch = {Changed("a.pak", a), Changed("b.pak", b), Changed("c.pak", Noise(random, 30000)),
                Changed("d.pak", Noise(random, 20000))};
  for (const PlannedFile& file : plan.fetch) {
    plan.bytesToFetch += file.record.storedSize;
    PutObject(file);
  }
  dir.Write("a.pak", a);
  dir.Write("b.pak", b);
  const auto staged = [this](const std::string& name) { return dir.Has(StagedName(Sha256Of(contents[name]))); };
  // b's delta and d's object are answered only once a's and c's contents
  // are staged (or after a minute, and the test fails).
  std::atomic<int> answeredAfterStaging{0};
  const auto holdUntilStaged = [&](const std::string& path, const std::string& earlier, const std::string& body) {
    site.Route(path, [&, earlier, body](const httplib::Request&, httplib::Response& response) {
      if (WaitUntil([&] { return staged(earlier); })) ++answeredAfterStaging;
      response.set_content(body, "application/octet-stream");
    });
  };
  holdUntilStaged("/deltas/" + DeltaName(Sha256Of(b), Sha256Of(contents["b.pak"])), "a.pak", deltas["b.pak"]);
  holdUntilStaged(std::string("/") + kObjectsFolder + ObjectName(Sha256Of(contents["d.pak"])), "c.pak",
                  contents["d.pak"]);

  ReleaseManifest newest;
  newest.deltasBase = site.Url("/deltas/");
  SiteSources sources(site.Url("/"), "");
  std::string address, problem;
  ASSERT_TRUE(FetchChangedFiles(state, platform, sources, newest, plan, address, problem)) << address << ": " << problem;
  EXPECT_EQ(answeredAfterStaging, 2);
  for (const PlannedFile& file : plan.fetch) {
    EXPECT_EQ(dir.Read(StagedName(file.record.sha256)), contents[file.local]) << file.local;
  }
}

// A delta or object that arrived whole before a kill, not yet staged, is
// staged by the next run instead of fetched; one that does not make its
// content is fetched again, and the log says why.
TEST_F(DeltaStaging, WhatArrivedBeforeAKillIsStagedNotFetchedAgain) {
  OpenTheFailureLog();
  const std::string a = Noise(random, 60000);
  ReleaseManifest newest;
  newest.deltasBase = site.Url("/deltas/");
  ManifestPlan plan;
  plan.fetch = {Changed("a.pak", a), Changed("b.pak", Noise(random, 50000)), Changed("c.pak", Noise(random, 40000))};
  for (const PlannedFile& file : plan.fetch) {
    plan.bytesToFetch += file.record.storedSize;
    PutObject(file);
  }
  dir.Write("a.pak", a);
  const auto arrived = [this](const PlannedFile& file) { return StagedName(file.record.sha256); };
  dir.Write(arrived(plan.fetch[0]) + ".delta", deltas["a.pak"]);
  dir.Write(arrived(plan.fetch[1]) + ".object", contents["b.pak"]);
  dir.Write(arrived(plan.fetch[2]) + ".object", "cut short by a disk that filled");

  SiteSources sources(site.Url("/"), "");
  std::string address, problem;
  ASSERT_TRUE(FetchChangedFiles(state, platform, sources, newest, plan, address, problem)) << address << ": " << problem;
  for (const PlannedFile& file : plan.fetch) {
    EXPECT_EQ(dir.Read(StagedName(file.record.sha256)), contents[file.local]) << file.local;
  }
  EXPECT_EQ(site.Hits("/deltas/" + DeltaName(Sha256Of(a), Sha256Of(contents["a.pak"]))), 0);
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[1])), 0);
  EXPECT_EQ(site.Hits(ObjectPath(plan.fetch[2])), 1);
  EXPECT_NE(FailureLog().find("): what arrived before cannot be staged (decodes to content other"), std::string::npos) << FailureLog();
}
