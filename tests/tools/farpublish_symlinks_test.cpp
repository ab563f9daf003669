// farpublish build --symlinks on builds that hold real symbolic links.
#include <gtest/gtest.h>

#include "tools/farpublish_fixture.h"

namespace fs = std::filesystem;

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class FarpublishSymlinks : public TwoBuildsTest {
 protected:
  fs::path Build2() const { return site.Versions() / "0002-1.0.2"; }
};

TEST_F(FarpublishSymlinks, FollowedLinksCarryTheirTargetsUnderTheirNames) {
  // A chain of links to a file, and a link to a folder beside it.
  fs::create_symlink("data/b.txt", Build2() / "b-link");
  fs::create_symlink("b-link", Build2() / "b-chain");
  fs::create_directory_symlink("data", Build2() / "alias");
  const PublishRun run = site.Build({"--symlinks=follow"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ArchiveEntries(site.Site() / "client-0002.zip"), (Entries{{"alias/a.txt", "a"},
                                                                      {"alias/b.txt", "b"},
                                                                      {"b-chain", "b"},
                                                                      {"b-link", "b"},
                                                                      {"client.exe", "client 1"},
                                                                      {"data/a.txt", "a"},
                                                                      {"data/b.txt", "b"}}));
}

TEST_F(FarpublishSymlinks, LinksOutsideTheBuildOrInALoopAreRefusedAndSkippedOnesWarned) {
  ASSERT_EQ(site.Build().status, 0);
  const TreeSnapshot before = SnapshotTree(site.Site());
  struct BadLink {
    const char* what;
    fs::path link;
    fs::path target;
    std::string expected;
  };
  const std::vector<BadLink> cases = {
      {"outside", Build2() / "up", "../0001-1.0.1/client.exe",
       "the symbolic link " + (Build2() / "up").string() + " points to " +
           fs::canonical(site.Versions() / "0001-1.0.1/client.exe").string() + ", outside the build folder"},
      {"chain leading outside", Build2() / "data/hop", "../../0001-1.0.1", "outside the build folder"},
      {"loop", Build2() / "data/loop", "..", "a folder that holds it: following it never ends"},
      {"dangling", Build2() / "gone", "missing.txt", "points to missing.txt, which cannot be read"},
  };
  for (const BadLink& bad : cases) {
    fs::create_symlink(bad.target, bad.link);
    const PublishRun followed = site.Build({"--symlinks", "follow"});
    EXPECT_EQ(followed.status, 1) << bad.what;
    EXPECT_NE(followed.err.find(bad.expected), std::string::npos) << bad.what << ": " << followed.err;
    EXPECT_EQ(SnapshotTree(site.Site()), before) << bad.what;

    const PublishRun refused = site.Build();
    EXPECT_EQ(refused.status, 1) << bad.what;
    EXPECT_NE(refused.err.find(bad.link.string() + " is a symbolic link"), std::string::npos) << refused.err;

    const PublishRun skipped = site.Build({"--symlinks=skip"});
    EXPECT_EQ(skipped.status, 0) << bad.what << ": " << skipped.err;
    EXPECT_NE(skipped.err.find("warning: left out " + bad.link.string() + ", a symbolic link"), std::string::npos)
        << skipped.err;
    EXPECT_EQ(SnapshotTree(site.Site()), before) << bad.what << ": a skipped link changes nothing";
    fs::remove(bad.link);
  }
  EXPECT_EQ(site.Build({"--symlinks=sometimes"}).status, 2);
}

}  // namespace
