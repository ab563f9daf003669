// farpublish build over time: the same inputs give the same site, a new
// build leaves what is published alone, and a bad input changes nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "manifest/zstd_frames.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

class FarpublishSite : public TwoBuildsTest {
 protected:
  // The files beside SITE: a failed build leaves no temporary folder there.
  std::vector<std::string> BesideSite() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& item : fs::directory_iterator(site.Path())) {
      names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

struct FileIdentity {
  ino_t inode;
  struct timespec modified;
};

FileIdentity IdentityOf(const fs::path& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return {status.st_ino, status.st_mtim};
}

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
  return a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

}  // namespace

TEST_F(FarpublishSite, SameInputsGiveTheSameBytes) {
  ASSERT_EQ(site.Build().status, 0);
  // A copy with other file times and another folder order on disk.
  const fs::path copy = site.Path() / "COPY";
  fs::copy(site.Versions(), copy, fs::copy_options::recursive);
  fs::last_write_time(copy / "0002-1.0.2/data/b.txt", fs::file_time_type::clock::now() - std::chrono::hours(50));
  // The second site goes into folders that do not exist yet.
  const fs::path second = site.Path() / "out" / "SITE2";
  const PublishRun again = Farpublish({"build", copy.string(), second.string(), "--base-url", PublishWorkspace::kBaseUrl});
  ASSERT_EQ(again.status, 0) << again.err;
  const TreeSnapshot first = SnapshotTree(site.Site());
  EXPECT_EQ(first.size(), 8u) << "3 files, 2 manifests, 3 objects";
  EXPECT_EQ(SnapshotTree(second), first);
}

TEST_F(FarpublishSite, NewBuildKeepsThePublishedArchives) {
  ASSERT_EQ(site.Build().status, 0);
  const TreeSnapshot before = SnapshotTree(site.Site());
  const FileIdentity patch = IdentityOf(site.Site() / "patch-0002.zip");
  const fs::path object = site.Site() / "objects" / (Sha256Of("a").substr(0, 2) + "/" + Sha256Of("a"));
  const FileIdentity objectBefore = IdentityOf(object);

  site.Copy("0002-1.0.2", "0003-1.0.3");
  site.Write("0003-1.0.3", "data/c.txt", "c");
  const PublishRun run = site.Build();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "manifests/: 1 written, 2 kept\nobjects/: 1 written, 3 kept\ndeltas/: 0 written, 0 kept\n"
            "kept patch-0002.zip\nwrote patch-0003.zip\nwrote client-0003.zip\nwrote servercfg.xml\n");
  const TreeSnapshot after = SnapshotTree(site.Site());
  EXPECT_TRUE(SameIdentity(IdentityOf(site.Site() / "patch-0002.zip"), patch)) << "never rewritten";
  EXPECT_TRUE(SameIdentity(IdentityOf(object), objectBefore)) << "never rewritten";
  // Archives, manifests and objects alike; only the document changes.
  for (const auto& [name, bytes] : before) {
    if (name != "servercfg.xml") {
      EXPECT_EQ(after.at(name), bytes) << name;
    }
  }
  // The old full package stays for whoever still fetches it.
  EXPECT_EQ(after.at("client-0002.zip"), before.at("client-0002.zip"));
  EXPECT_EQ(ArchiveEntries(site.Site() / "patch-0003.zip"), (std::vector<std::pair<std::string, std::string>>{
                                                                {"data/c.txt", "c"}}));
  EXPECT_NE(after.at("servercfg.xml").find("PackageCode=\"0003\""), std::string::npos);

  // Nothing new: every archive is kept and the document is the same.
  const PublishRun same = site.Build();
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out,
            "manifests/: 0 written, 3 kept\nobjects/: 0 written, 4 kept\ndeltas/: 0 written, 0 kept\n"
            "kept patch-0002.zip\nkept patch-0003.zip\nkept client-0003.zip\nwrote servercfg.xml\n");
  EXPECT_EQ(SnapshotTree(site.Site()), after);
}

TEST_F(FarpublishSite, PublishedArchiveThatNoLongerMatchesStopsTheBuild) {
  ASSERT_EQ(site.Build().status, 0);
  const TreeSnapshot before = SnapshotTree(site.Site());
  site.Write("0002-1.0.2", "data/b.txt", "B");
  const PublishRun run = site.Build();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("patch-0002.zip is published already but is not what the builds give now (entry "
                         "data/b.txt holds other bytes)"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(SnapshotTree(site.Site()), before);
}

TEST_F(FarpublishSite, PublishedObjectThatDoesNotHoldItsContentStopsTheBuild) {
  ASSERT_EQ(site.Build().status, 0);
  const std::string name = Sha256Of("a").substr(0, 2) + "/" + Sha256Of("a");
  WriteFile(site.Site() / "objects" / name, "A");
  const TreeSnapshot before = SnapshotTree(site.Site());
  const PublishRun run = site.Build();
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(name + " is published already but does not hold the content its name gives"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(SnapshotTree(site.Site()), before);
}

// A game file that is itself a zstd frame is stored as it is, and a rebuild
// takes the published object for the file, not for a frame to decode.
TEST_F(FarpublishSite, AGameFileThatIsAZstdFrameStaysRaw) {
  const std::string frame = EncodeZstdFrame(std::string(100000, 'z'), 19);
  site.Write("0002-1.0.2", "data/packed.zst", frame);
  ASSERT_EQ(site.Build().status, 0);
  const std::string object = "objects/" + Sha256Of(frame).substr(0, 2) + "/" + Sha256Of(frame);
  const TreeSnapshot first = SnapshotTree(site.Site());
  EXPECT_EQ(first.at(object), frame);
  const PublishRun again = site.Build();
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(SnapshotTree(site.Site()), first) << "the same manifests name it";
}

TEST_F(FarpublishSite, BadInputLeavesTheSiteUntouched) {
  ASSERT_EQ(site.Build().status, 0);
  const TreeSnapshot before = SnapshotTree(site.Site());
  const std::vector<std::string> beside = BesideSite();
  const fs::path build = site.Versions() / "0002-1.0.2";
  struct BadInput {
    const char* what;
    std::function<void()> make;
    std::string expected;
    std::vector<std::string> extra;
    bool unprivileged;
  };
  const std::vector<BadInput> cases = {
      {"folder name", [&] { site.Write("0003-1.0", "a", "a"); }, "build folder name '0003-1.0' is not", {}, false},
      {"duplicate code", [&] { site.Copy("0002-1.0.2", "0002-1.0.3"); },
       "build folders 0002-1.0.2 and 0002-1.0.3 share the package code 0002", {}, false},
      {"codes out of order",
       [&] {
         site.Copy("0002-1.0.2", "9-1.0.9");
         site.Copy("0002-1.0.2", "10-1.0.10");
       },
       "package codes out of order: the launcher installs 10-1.0.10 before 9-1.0.9", {}, false},
      {"file beside the builds", [&] { WriteFile(site.Versions() / "notes.txt", "n"); }, "notes.txt is not a build folder",
       {}, false},
      {"empty build", [&] { fs::create_directories(site.Versions() / "0003-1.0.3/empty"); },
       "0003-1.0.3 holds no file", {}, false},
      {"link to a file", [&] { fs::create_symlink("/etc/hostname", build / "host"); }, "host is a symbolic link", {},
       false},
      {"link to a folder", [&] { fs::create_directory_symlink("/etc", build / "data/etc"); },
       "etc is a symbolic link", {}, false},
      {"special file", [&] { mkfifo((build / "pipe").c_str(), 0644); }, "pipe is not a regular file", {}, false},
      {"unreadable file",
       [&] {
         WriteFile(build / "secret.txt", "s");
         fs::permissions(build / "secret.txt", fs::perms::none);
       },
       "cannot read " + (build / "secret.txt").string() + ": Permission denied", {}, true},
      {"name not UTF-8", [&] { WriteFile(build / "\xff.txt", "x"); }, "is not UTF-8", {}, false},
      {"backslash in a name", [&] { WriteFile(build / "a\\b", "x"); }, "holds \"\\\"", {}, false},
      {"file of 4 GiB", [&] { WriteFile(build / "huge", ""); fs::resize_file(build / "huge", 0x100000000); },
       "huge is too large: the launcher reads archives without 64-bit extensions", {}, false},
      {"missing key", [] {}, "cannot read the secret key", {"--sign", (site.Path() / "none.key").string()}, false},
      {"game files folder missing",
       [&] {
         site.Copy("0002-1.0.2", "0003-1.0.3");
         site.Write("0003-1.0.3", "c.txt", "c");
       },
       "cannot write " + (site.Path() / "missing/updatecfg.xml.farpublish").string(),
       {"--game-files", (site.Path() / "missing").string()}, false},
      {"names Windows cannot hold",
       [&] {
         WriteFile(build / "AUX.txt", "x");
         WriteFile(build / "data/A.TXT", "x");
       },
       "farpublish: 0002-1.0.2/AUX.txt: \"AUX.txt\" is a device name on Windows\n"
       "farpublish: 0002-1.0.2/data/a.txt: differs from data/A.TXT only in letter case: one file on Windows\n",
       {}, false},
      // Found once the new archives and objects are written (the manifest's
      // address is the longest): they go with the temporary folder.
      {"address too long for the document",
       [&] {
         site.Copy("0002-1.0.2", "0003-1.0.3");
         site.Write("0003-1.0.3", "c.txt", "c");
       },
       "Href=http://127.0.0.1:8080/site",
       {"--base-url", PublishWorkspace::kBaseUrl + std::string(480, 'x')}, false},
  };
  const TempDir clean;
  fs::copy(site.Versions(), clean.Path(), fs::copy_options::recursive);
  for (const BadInput& bad : cases) {
    bad.make();
    const PublishRun run = site.Build(bad.extra, {"", std::nullopt, bad.unprivileged});
    EXPECT_EQ(run.status, 1) << bad.what;
    EXPECT_NE(run.err.find(bad.expected), std::string::npos) << bad.what << ": " << run.err;
    EXPECT_EQ(run.out, "") << bad.what;
    EXPECT_EQ(SnapshotTree(site.Site()), before) << bad.what;
    EXPECT_EQ(BesideSite(), beside) << bad.what;
    fs::remove_all(site.Versions());
    fs::copy(clean.Path(), site.Versions(), fs::copy_options::recursive);
  }
}

// Moving the new files in fails at the document, after the archives,
// objects and manifests went in: they go out again, with the folders made
// for them, and the file replaced comes back.
TEST_F(FarpublishSite, AFailedMoveIntoTheSitePutsItBack) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  ASSERT_EQ(site.Build({"--sign", keys.secretKey}).status, 0);
  fs::remove(site.Site() / "servercfg.xml.minisig");
  fs::create_directory(site.Site() / "servercfg.xml.minisig");
  WriteFile(site.Site() / "servercfg.xml.minisig" / "kept.txt", "in the way");
  site.Copy("0002-1.0.2", "0003-1.0.3");
  site.Write("0003-1.0.3", "data/c.txt", "c");
  const std::map<std::string, std::string> before = Tree(site.Site());
  const std::vector<std::string> beside = BesideSite();
  const PublishRun run = site.Build({"--sign", keys.secretKey});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("servercfg.xml.minisig is in the way: it is not a file"), std::string::npos) << run.err;
  EXPECT_EQ(Tree(site.Site()), before);
  EXPECT_EQ(BesideSite(), beside);
}

TEST_F(FarpublishSite, UsageErrors) {
  const std::string versions = site.Versions().string();
  const std::string out = site.Site().string();
  const std::vector<std::vector<std::string>> usages = {
      {},
      {"deploy", "http://x/"},
      {"build", versions, out},
      {"build", versions, "--base-url", "http://x"},
      {"build", versions, out, "extra", "--base-url", "http://x"},
      {"build", versions, out, "--base-url"},
      {"build", versions, out, "--base-url", "http://x", "--colour"},
      {"build", versions, out, "--base-url", "http://x/a\"b"},
      {"build", versions, out, "--base-url=http://x/?a=b"},
      {"build", versions, out, "--base-url", "http://x", "--dump-ftp", "ftp.example:65536"},
      {"build", versions, out, "--base-url", "http://x", "--dump-ftp", "ftp.example:"},
      {"build", versions, out, "--base-url", "http://x", "--product", "雾港😀"},
      {"build", versions, out, "--base-url", "http://x", "--no-manifests=yes"},
  };
  for (const std::vector<std::string>& args : usages) {
    const PublishRun run = Farpublish(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("Try 'farpublish --help'"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(site.Site()));

  const PublishRun help = Farpublish({"build", "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"--base-url", "--web-addr", "--block-addr", "--dump-ftp", "--product", "--sign",
                           "--no-manifests", "SOURCE_DATE_EPOCH", "<PackageCode>-<Main>.<Sub>.<File>",
                           "deleted by launchers that read manifests"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(help.out.find("cannot be deleted by an"), std::string::npos) << "manifests delete unchanged files";
}

TEST_F(FarpublishSite, SettingsTheLauncherCannotUseAreWarnedAbout) {
  const PublishRun run = site.Build({"--base-url", "ftp://cdn.example/site/"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "farpublish: warning: the launcher downloads only http:// and https:// addresses; it would fail at every "
            "item under ftp://cdn.example/site\n"
            "farpublish: warning: no --web-addr: the launcher shows no page, and its page is where players start "
            "the game\n");
  EXPECT_NE(ReadFile(site.Site() / "servercfg.xml").find("\"ftp://cdn.example/site/patch-0002.zip\""),
            std::string::npos);
}
