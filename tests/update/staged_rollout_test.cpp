// Which entry a launcher takes as the newest while the publisher offers it
// to a share of the players first.
#include "update/staged_rollout.h"

#include "update/site/update_documents.h"
#include "update/update_fixture.h"

namespace {

class StagedRollout : public UpdateFixture {
 protected:
  void SetUp() override {
    OpenTheFailureLog();
    Install(true);
  }

  // The entries this game directory takes from a document listing 0010 and
  // 0011, the newest carrying `rollout` as its GameVersion's attribute.
  std::vector<std::string> TakenCodes(const std::string& rollout) {
    const std::string document =
        "<GameVersion MainVersion=\"1\" PackageCode=\"0010\"></GameVersion>\n"
        "<GameVersion MainVersion=\"1\" PackageCode=\"0011\" Rollout=\"" + rollout + "\"></GameVersion>\n";
    ServerConfig server;
    std::string reason;
    EXPECT_TRUE(ReadServerDocument(document, true, server, reason)) << reason;
    state.entries = server.entries;
    HoldBackStagedRelease(state);
    std::vector<std::string> codes;
    for (const VersionEntry& entry : state.entries) codes.push_back(entry.PackageCode);
    return codes;
  }

  const std::vector<std::string> both{"0010", "0011"};
  const std::vector<std::string> previous{"0010"};
};

TEST_F(StagedRollout, TheNewestGoesOnlyToBucketsBelowItsShare) {
  dir.Write(kRolloutBucketFile, "24\r\n");
  EXPECT_EQ(TakenCodes("25"), both);
  EXPECT_EQ(FailureLog(), "");
  dir.Write(kRolloutBucketFile, "25");
  EXPECT_EQ(TakenCodes("25"), previous);
  EXPECT_NE(FailureLog().find("version 0011: held back: offered to 25 % of the players first, and this game "
                              "directory's bucket is 25"),
            std::string::npos)
      << FailureLog();
  EXPECT_EQ(TakenCodes("100"), both);
  EXPECT_EQ(TakenCodes("0"), previous);
  EXPECT_EQ(dir.Read(kRolloutBucketFile), "25") << "the bucket is kept";
  EXPECT_EQ(FailureLog().find("drawn again"), std::string::npos) << FailureLog();
}

TEST_F(StagedRollout, ABucketIsDrawnOnceAndKept) {
  const bool taken = TakenCodes("50") == both;
  const std::string drawn = dir.Read(kRolloutBucketFile);
  ASSERT_FALSE(drawn.empty());
  const int bucket = std::stoi(drawn);
  EXPECT_TRUE(bucket >= 0 && bucket < 100) << drawn;
  EXPECT_EQ(taken, bucket < 50);
  for (int run = 0; run < 5; ++run) EXPECT_EQ(TakenCodes("50") == both, taken);
  EXPECT_EQ(dir.Read(kRolloutBucketFile), drawn);

  dir.Write(kRolloutBucketFile, "100");
  TakenCodes("50");
  EXPECT_NE(FailureLog().find("farLaunch.bucket: holds no bucket from 0 to 99: drawn again"), std::string::npos)
      << FailureLog();
  EXPECT_LT(std::stoi(dir.Read(kRolloutBucketFile)), 100);
}

TEST_F(StagedRollout, AShareThatIsNoPercentageIsIgnoredAndLogged) {
  dir.Write(kRolloutBucketFile, "99");
  for (const char* share : {"25%", "101", "-1", "", "0x19"}) {
    EXPECT_EQ(TakenCodes(share), both) << share;
    EXPECT_NE(FailureLog().find(std::string("Rollout=\"") + share + "\" is no share from 0 to 100 and is ignored"),
              std::string::npos)
        << FailureLog();
  }
}

// A player who has the newest already is neither cut off nor taken back
// when the share narrows; a full install takes the newest release whole.
TEST_F(StagedRollout, TheNewestStaysListedForItsPlayersAndForAFullInstall) {
  dir.Write(kRolloutBucketFile, "99");
  state.PackageCode = "0011";
  EXPECT_EQ(TakenCodes("1"), both);
  state.PackageCode = "0010";
  state.needFullInstall = true;
  EXPECT_EQ(TakenCodes("1"), both);
  EXPECT_EQ(FailureLog(), "");
}

// A player outside the share updates to the release before the newest and
// records it.
TEST_F(StagedRollout, APlayerOutsideTheShareUpdatesToThePreviousRelease) {
  dir.Write(kRolloutBucketFile, "80");
  site.Put("/p11.zip", MakeZip({{"data/a.dat", "eleven"}}));
  site.Put("/p12.zip", MakeZip({{"data/a.dat", "twelve"}}));
  const std::string item = "<File Type=\"normal\" TargetFileName=\"p.zip\" SourceFileAddr=\"";
  site.Put("/servercfg.xml",
           "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"10\" PackageCode=\"0010\"></GameVersion>\n"
           "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"11\" PackageCode=\"0011\">" + item +
               site.Url("/p11.zip") + "\"></File></GameVersion>\n"
           "<GameVersion MainVersion=\"1\" SubVersion=\"0\" FileVersion=\"12\" PackageCode=\"0012\" Rollout=\"50\">" +
               item + site.Url("/p12.zip") + "\"></File></GameVersion>\n");
  state.UpdateServerAddr = site.Url("/servercfg.xml");
  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());
  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("data/a.dat"), "eleven");
  EXPECT_EQ(site.Hits("/p12.zip"), 0);
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos);
}

}  // namespace
