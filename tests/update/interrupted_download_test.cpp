// Downloads of the update that were interrupted: the partial files the
// server document still needs are kept and gone on from at the next start,
// the others deleted; a busy server is retried with each attempt logged.
#include <atomic>

#include "net/partial_download.h"
#include "trust/tampering.h"
#include "update/gamedir/item_downloads.h"
#include "update/gamedir/partial_downloads.h"
#include "update/server_fetch.h"
#include "update/update_fixture.h"
#include "update/window_controls.h"

namespace {

class InterruptedDownload : public UpdateFixture {
 protected:
  // 0010 installed; 0011 brings client.zip from /p11.zip with its hash.
  void PublishPatch() {
    patch = MakeZip({{"data/a.txt", std::string(300000, 'a')}, {"b.txt", "b from 11"}});
    site.Put("/p11.zip", patch);
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}},
                         ServerVersion{"1", "0", "11", "0011",
                                       {ServerItem{"normal", "p11.zip", site.Url("/p11.zip"),
                                                   {{"Sha256", Sha256Of(patch)}}}}}};
    Publish(document);
    Install(true);
  }

  // A partial download of `name` from `address`: its first `bytes` bytes.
  void LeavePartial(const std::string& name, const std::string& address, const std::string& bytes,
                    std::uint64_t length) {
    dir.Write(name + ".part", bytes);
    PartialMeta meta;
    meta.address = address;
    meta.length = length;
    meta.expected.sha256 = Sha256Of(patch);
    ASSERT_TRUE(PartialDownload(name).SaveMeta(meta));
  }

  std::string patch;
};

TEST_F(InterruptedDownload, OnlyThePartialFilesTheDocumentStillNeedsAreKept) {
  PublishPatch();
  ASSERT_TRUE(FetchServerDocument(state, platform));
  ASSERT_TRUE(LoadServerDocument(state));
  const std::string download = ItemDownloadName("0011", 1);
  LeavePartial(download, site.Url("/p11.zip"), patch.substr(0, 1000), patch.size());
  LeavePartial("update.zip", site.Url("/launcher-0009.zip"), "old launcher", 5000);
  LeavePartial("tmp_client.tmp", site.Url("/full.zip"), "package", 5000);
  // An older launcher's download of the same patch, under the name all of
  // its patches shared.
  LeavePartial("client.zip", site.Url("/p11.zip"), patch.substr(0, 1000), patch.size());
  // Cut off before its sidecar was written.
  dir.Write(ItemDownloadName("0011", 2) + ".part", "no sidecar");
  // A game's own file named like a partial download.
  dir.Write("Intro.part", "no sidecar: not a download of the launcher");

  CleanUnneededPartials(state);
  EXPECT_TRUE(dir.Has(download + ".part"));
  EXPECT_TRUE(dir.Has(download + ".part.meta"));
  for (const std::string& gone : std::vector<std::string>{"update.zip.part", "update.zip.part.meta",
                                                           "tmp_client.tmp.part", "tmp_client.tmp.part.meta",
                                                           "client.zip.part", "client.zip.part.meta",
                                                           ItemDownloadName("0011", 2) + ".part"}) {
    EXPECT_FALSE(dir.Has(gone)) << gone;
  }
  EXPECT_TRUE(dir.Has("Intro.part"));

  // Once the client is up to date nothing is needed any more.
  state.PackageCode = "0011";
  CleanUnneededPartials(state);
  EXPECT_FALSE(dir.Has(download + ".part"));
  EXPECT_FALSE(dir.Has(download + ".part.meta"));
}

TEST_F(InterruptedDownload, TheNextStartGoesOnFromThePartialPatch) {
  PublishPatch();
  const std::size_t kept = patch.size() / 3;
  const std::string download = ItemDownloadName("0011", 1);
  LeavePartial(download, site.Url("/p11.zip"), patch.substr(0, kept), patch.size());

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("b.txt"), "b from 11");
  const std::vector<httplib::Request> requests = site.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().path, "/p11.zip");
  EXPECT_EQ(requests.back().get_header_value("Range"), "bytes=" + std::to_string(kept) + "-");
  for (const std::string& gone : {download, download + ".part", download + ".part.meta"}) EXPECT_FALSE(dir.Has(gone));
}

TEST_F(InterruptedDownload, ABusyServerIsRetriedAndEachAttemptLogged) {
  OpenTheFailureLog();
  PublishPatch();
  std::atomic<int> asked{0};
  site.Route("/p11.zip", [&](const httplib::Request&, httplib::Response& response) {
    if (asked++ == 0) {
      response.status = 503;
      response.set_header("Retry-After", "1");
      return;
    }
    response.set_content(patch, "application/zip");
  });

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(asked.load(), 2);
  EXPECT_NE(FailureLog().find("HTTP 503; retry 1 of 3 in 1000 ms"), std::string::npos) << FailureLog();
  EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
