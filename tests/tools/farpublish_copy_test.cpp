// farpublish publish: a built site copied where players read it, the
// document last, each file through a temporary name.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "support/loopback_socket.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

class FarpublishPublish : public TwoBuildsTest {
 protected:
  void SetUp() override {
    TwoBuildsTest::SetUp();
    const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
    ASSERT_EQ(site.Build({"--sign", keys.secretKey}).status, 0);
    built = SnapshotTree(site.Site());
  }

  fs::path Dest() const { return site.Path() / "DEST"; }
  PublishRun Publish(const std::string& dest) const { return Farpublish({"publish", site.Site().string(), dest}); }

  // The publishing rank of a site file: objects, manifests, archives, the
  // signature, the document.
  static int Rank(const std::string& name) {
    if (name.rfind("objects/", 0) == 0) return 0;
    if (name.rfind("deltas/", 0) == 0) return 1;
    if (name.rfind("manifests/", 0) == 0) return 2;
    if (name == "servercfg.xml.minisig") return 4;
    if (name == "servercfg.xml") return 5;
    return 3;
  }

  TreeSnapshot built;
};

TEST_F(FarpublishPublish, CopiesInPublishingOrderAndOnlyWhatDiffers) {
  const PublishRun first = Publish(Dest().string());
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(SnapshotTree(Dest()), built);
  std::vector<std::string> copied;
  std::istringstream lines(first.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("copied ", 0) == 0) copied.push_back(line.substr(7));
  }
  EXPECT_EQ(copied.size(), built.size());
  EXPECT_TRUE(std::is_sorted(copied.begin(), copied.end(), [](const std::string& a, const std::string& b) {
    return Rank(a) < Rank(b);
  })) << first.out;
  EXPECT_EQ(copied.back(), "servercfg.xml");
  EXPECT_EQ(first.out.substr(first.out.rfind("copied servercfg.xml")),
            "copied servercfg.xml\n" + std::to_string(built.size()) + " copied, 0 already there\n");

  const PublishRun again = Publish(Dest().string() + "/");
  EXPECT_EQ(again.out, "0 copied, " + std::to_string(built.size()) + " already there\n");
  WriteFile(Dest() / "client-0002.zip", "damaged");
  const PublishRun repaired = Publish(Dest().string());
  EXPECT_EQ(repaired.out, "copied client-0002.zip\n1 copied, " + std::to_string(built.size() - 1) + " already there\n");
  EXPECT_EQ(SnapshotTree(Dest()), built);
}

TEST_F(FarpublishPublish, AFailedCopyLeavesTheOldDocumentAndNoTemporaryFile) {
  // A folder where an archive belongs: the copy fails there, after the
  // objects and manifests and before the document.
  fs::create_directories(Dest() / "patch-0002.zip");
  WriteFile(Dest() / "servercfg.xml", "the previous document");
  const PublishRun blocked = Publish(Dest().string());
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("cannot move " + (Dest() / ".patch-0002.zip.farpublish-part").string() + " to " +
                             (Dest() / "patch-0002.zip").string()),
            std::string::npos)
      << blocked.err;
  EXPECT_NE(blocked.err.find("stopped at archives and other files: nothing after it (the document comes last) "
                             "was copied"),
            std::string::npos)
      << blocked.err;
  const TreeSnapshot arrived = SnapshotTree(Dest());
  for (const auto& [name, bytes] : built) {
    if (Rank(name) < 3) {
      EXPECT_EQ(arrived.at(name), bytes) << name;
    }
  }
  EXPECT_EQ(arrived.at("servercfg.xml"), "the previous document");
  EXPECT_EQ(arrived.count("servercfg.xml.minisig"), 0u);
  for (const auto& entry : arrived) EXPECT_EQ(entry.first.find(".farpublish-part"), std::string::npos) << entry.first;

  // The document itself goes through its temporary name: blocked there, the
  // previous one stays whole.
  fs::remove(Dest() / "patch-0002.zip");
  fs::create_directories(Dest() / ".servercfg.xml.farpublish-part");
  EXPECT_EQ(Publish(Dest().string()).status, 1);
  EXPECT_EQ(ReadFile(Dest() / "servercfg.xml"), "the previous document");
  fs::remove(Dest() / ".servercfg.xml.farpublish-part");
  const PublishRun intoTheSite = Publish((site.Site() / "copy").string());
  EXPECT_EQ(intoTheSite.status, 1);
  EXPECT_NE(intoTheSite.err.find("or inside it: give a folder outside the site"), std::string::npos) << intoTheSite.err;
  EXPECT_EQ(Publish(Dest().string()).status, 0);
  EXPECT_EQ(SnapshotTree(Dest()), built);
}

TEST_F(FarpublishPublish, SendsToRsyncInOrderedBatches) {
  // A stand-in rsync on PATH that records each run and the files it was given.
  const fs::path bin = site.Path() / "bin";
  const fs::path log = site.Path() / "rsync.log";
  fs::create_directories(bin);
  WriteFile(bin / "rsync",
            "#!/bin/sh\n"
            "echo \"run $1 $2 $3 $4\" >>" +
                log.string() +
                "\n"
                "for arg; do case $arg in --files-from=*) cat \"${arg#--files-from=}\" >>" +
                log.string() +
                ";; esac; done\n"
                "for last; do :; done\n"
                "echo \"to $last\" >>" +
                log.string() + "\n");
  fs::permissions(bin / "rsync", fs::perms::owner_all);
  const std::string command = "PATH=" + ShellQuoted(bin.string()) + ":$PATH " + ShellQuoted(FARPUBLISH_PATH) +
                              " publish " + ShellQuoted(site.Site().string()) + " mirror:/srv/site";
  const ShellRun sent = RunShell(command);
  ASSERT_EQ(sent.status, 0) << sent.out;
  std::string expected;
  std::vector<std::vector<std::string>> batches(6);
  for (const auto& entry : built) batches[Rank(entry.first)].push_back(entry.first);
  for (std::size_t rank = 0; rank < batches.size(); ++rank) {
    if (batches[rank].empty()) continue;
    expected +=
        std::string("run --recursive --times --delay-updates ") + (rank < 3 ? "--ignore-existing" : "--files-from=");
    expected += "\n";
    for (const std::string& name : batches[rank]) expected += name + "\n";
    expected += "to mirror:/srv/site/\n";
  }
  std::string recorded = ReadFile(log);
  // The list file's name is random: keep only what the options are.
  for (std::size_t at = 0; (at = recorded.find("--files-from=/", at)) != std::string::npos;) {
    recorded.erase(at + 13, recorded.find('\n', at) - at - 13);
    at += 13;
  }
  EXPECT_EQ(recorded, expected);

  const PublishRun absent = Farpublish({"publish", site.Site().string(), "mirror:/srv/site"});
  if (RunShell("command -v rsync").status != 0) {
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("rsync is not installed (no rsync on PATH)"), std::string::npos) << absent.err;
  }
}

// The published copy served by nginx with the cache rules the publishing
// guide gives (bench/update_site_cache.nginx, included as it stands).
TEST_F(FarpublishPublish, NginxServesTheDocumentUncachedAndHashNamedFilesImmutable) {
  const fs::path nginx = "/usr/sbin/nginx";
  if (!fs::exists(nginx)) GTEST_SKIP() << "no " << nginx;
  ASSERT_EQ(Publish((Dest() / "site").string()).status, 0);
  int port = 0;
  close(BindLoopbackSocket(-1, port));
  const fs::path work = site.Path() / "nginx";
  fs::create_directories(work);
  const std::string w = work.string();
  WriteFile(work / "nginx.conf",
            std::string(geteuid() == 0 ? "user root;\n" : "") + "worker_processes 1;\npid " + w +
                "/nginx.pid;\nerror_log " + w + "/error.log;\nevents { worker_connections 64; }\nhttp {\n" +
                "  access_log off;\n  default_type application/octet-stream;\n  client_body_temp_path " + w +
                "/body;\n  proxy_temp_path " + w + "/proxy;\n  fastcgi_temp_path " + w +
                "/fastcgi;\n  uwsgi_temp_path " + w + "/uwsgi;\n  scgi_temp_path " + w + "/scgi;\n" +
                "  server {\n    listen 127.0.0.1:" + std::to_string(port) + ";\n    root " + Dest().string() +
                ";\n    include " + FARLAUNCH_SOURCE_DIR + "/bench/update_site_cache.nginx;\n  }\n}\n");
  const std::string control = ShellQuoted(nginx.string()) + " -p " + ShellQuoted(w) + " -e " +
                              ShellQuoted(w + "/error.log") + " -c " + ShellQuoted(w + "/nginx.conf");
  ASSERT_EQ(RunShell(control).status, 0) << ReadFile(work / "error.log");
  struct Stop {
    std::string command;
    ~Stop() { RunShell(command); }
  } stop{control + " -s stop"};
  httplib::Client client("127.0.0.1", port);
  const auto cacheControl = [&](const std::string& name) {
    const httplib::Result answer = client.Get("/site/" + name);
    if (!answer || answer->status != 200) return std::string("no answer");
    EXPECT_EQ(answer->body, built.at(name)) << name;
    return answer->get_header_value("Cache-Control");
  };
  // nginx answers once its worker runs: ask until it does.
  for (int tries = 0; tries < 200 && !client.Get("/site/servercfg.xml"); ++tries) usleep(50000);
  const std::string object = built.lower_bound("objects/")->first;
  const std::string manifest = built.lower_bound("manifests/")->first;
  ASSERT_EQ(object.rfind("objects/", 0), 0u) << object;
  EXPECT_EQ(cacheControl("servercfg.xml"), "no-cache");
  EXPECT_EQ(cacheControl("servercfg.xml.minisig"), "no-cache");
  EXPECT_EQ(cacheControl(object), "public, max-age=31536000, immutable");
  EXPECT_EQ(cacheControl(manifest), "public, max-age=31536000, immutable");
  EXPECT_EQ(cacheControl("patch-0002.zip"), "public, max-age=86400");
}

}  // namespace
