// farpublish build --sign: signatures minisign accepts, keys with and
// without a password, and the timestamp the launcher's replay protection
// reads.
#include <gtest/gtest.h>

#include <chrono>

#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

class FarpublishSign : public TwoBuildsTest {
 protected:
  ShellRun Verify(const MinisignKeys& keys) const {
    return MinisignVerify(keys.publicKey, (site.Site() / "servercfg.xml").string(),
                          (site.Site() / "servercfg.xml.minisig").string());
  }

  std::uint64_t Now() const {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
  }
};

}  // namespace

TEST_F(FarpublishSign, SignatureVerifiesAndIsReproducibleWithSourceDateEpoch) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  const PublishRunOptions reproducible{"", "1700000000", false};
  const PublishRun run = site.Build({"--sign", keys.secretKey}, reproducible);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("wrote servercfg.xml.minisig\n"), std::string::npos) << run.out;
  const ShellRun verified = Verify(keys);
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_NE(verified.out.find("Trusted comment: timestamp:1700000000\tfile:servercfg.xml\thashed"),
            std::string::npos)
      << verified.out;

  const fs::path second = site.Path() / "SITE2";
  const PublishRun again = Farpublish({"build", site.Versions().string(), second.string(), "--base-url",
                                       PublishWorkspace::kBaseUrl, "--sign", keys.secretKey},
                                      reproducible);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(SnapshotTree(second), SnapshotTree(site.Site()));
}

TEST_F(FarpublishSign, TimestampIsNowWithoutSourceDateEpoch) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  const std::uint64_t before = Now();
  ASSERT_EQ(site.Build({"--sign", keys.secretKey}).status, 0);
  const std::uint64_t after = Now();
  const std::string signature = ReadFile(site.Site() / "servercfg.xml.minisig");
  const std::size_t at = signature.find("trusted comment: timestamp:");
  ASSERT_NE(at, std::string::npos) << signature;
  const std::uint64_t timestamp = std::stoull(signature.substr(at + 27));
  EXPECT_GE(timestamp, before);
  EXPECT_LE(timestamp, after);

  const PublishRun badEpoch = site.Build({"--sign", keys.secretKey}, {"", "soon", false});
  EXPECT_EQ(badEpoch.status, 1);
  EXPECT_NE(badEpoch.err.find("SOURCE_DATE_EPOCH must be a number of seconds"), std::string::npos) << badEpoch.err;
}

TEST_F(FarpublishSign, EncryptedKeyTakesItsPasswordFromStandardInput) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher", "harbour lights");
  const PublishRun wrong = site.Build({"--sign", keys.secretKey}, {"harbour light\n", std::nullopt, false});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("password"), std::string::npos) << wrong.err;
  EXPECT_FALSE(fs::exists(site.Site()));
  const PublishRun none = site.Build({"--sign", keys.secretKey});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no password for the encrypted secret key"), std::string::npos) << none.err;
  EXPECT_FALSE(fs::exists(site.Site()));

  const PublishRun run = site.Build({"--sign", keys.secretKey}, {"harbour lights\n", std::nullopt, false});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Verify(keys).status, 0);
}

TEST_F(FarpublishSign, UnsignedRebuildDropsTheOldSignature) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  ASSERT_EQ(site.Build({"--sign", keys.secretKey}).status, 0);
  site.Copy("0002-1.0.2", "0003-1.0.3");
  site.Write("0003-1.0.3", "client.exe", "client 3");
  const PublishRun run = site.Build();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("warning: deleted servercfg.xml.minisig"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(site.Site() / "servercfg.xml.minisig"));
  EXPECT_TRUE(fs::exists(site.Site() / "patch-0003.zip"));
}
