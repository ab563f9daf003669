// farpublish build --sign and resign: signatures minisign accepts, keys
// with and without a password, and the trusted comment the launcher's
// document rules read.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

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

// The trusted comment names when the document was signed (the real time,
// whatever SOURCE_DATE_EPOCH says: two documents signed in one build
// setting must not share it), the addresses it is served under and its
// expiry; the archives and the document stay reproducible.
TEST_F(FarpublishSign, SignatureVerifiesAndNamesTimeAddressesAndExpiry) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  const PublishRunOptions reproducible{"", "1700000000", false};
  const std::vector<std::string> signing = {"--sign", keys.secretKey, "--also-served-at",
                                            "http://old.example/game/servercfg.xml", "--expires", "7"};
  const std::uint64_t before = Now();
  const PublishRun run = site.Build(signing, reproducible);
  const std::uint64_t after = Now();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("wrote servercfg.xml.minisig\n"), std::string::npos) << run.out;
  const ShellRun verified = Verify(keys);
  EXPECT_EQ(verified.status, 0) << verified.out;
  const std::size_t at = verified.out.find("Trusted comment: timestamp:");
  ASSERT_NE(at, std::string::npos) << verified.out;
  const std::uint64_t timestamp = std::stoull(verified.out.substr(at + 27));
  EXPECT_GE(timestamp, before);
  EXPECT_LE(timestamp, after);
  EXPECT_NE(verified.out.find(std::to_string(timestamp) + "\tfile:servercfg.xml\turl:" +
                              PublishWorkspace::kBaseUrl + "/servercfg.xml\turl:http://old.example/game/servercfg.xml"
                              "\texpires:" + std::to_string(timestamp + 7 * 86400) + "\thashed\n"),
            std::string::npos)
      << verified.out;

  const fs::path second = site.Path() / "SITE2";
  std::vector<std::string> again = {"build", site.Versions().string(), second.string(), "--base-url",
                                    PublishWorkspace::kBaseUrl};
  again.insert(again.end(), signing.begin(), signing.end());
  ASSERT_EQ(Farpublish(again, reproducible).status, 0);
  TreeSnapshot first = SnapshotTree(site.Site());
  TreeSnapshot rebuilt = SnapshotTree(second);
  first.erase("servercfg.xml.minisig");
  rebuilt.erase("servercfg.xml.minisig");
  EXPECT_EQ(rebuilt, first);

  for (const std::vector<std::string>& usage :
       {std::vector<std::string>{"--expires", "7"}, {"--sign", keys.secretKey, "--expires", "0"},
        {"--also-served-at", "http://old.example/servercfg.xml"}}) {
    EXPECT_EQ(site.Build(usage).status, 2) << ::testing::PrintToString(usage);
  }
}

// resign: a new timestamp and expiry for the same document and addresses,
// the archives untouched; only the key that signed it may.
TEST_F(FarpublishSign, ResignKeepsTheDocumentAndItsAddresses) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  ASSERT_EQ(site.Build({"--sign", keys.secretKey}).status, 0);
  const TreeSnapshot built = SnapshotTree(site.Site());
  const PublishRun resigned = Farpublish({"resign", site.Site().string(), "--key", keys.secretKey, "--expires", "2"});
  ASSERT_EQ(resigned.status, 0) << resigned.err;
  EXPECT_NE(resigned.out.find("wrote servercfg.xml.minisig (signed "), std::string::npos) << resigned.out;
  const ShellRun verified = Verify(keys);
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_NE(verified.out.find(std::string("\tfile:servercfg.xml\turl:") + PublishWorkspace::kBaseUrl +
                              "/servercfg.xml\texpires:"),
            std::string::npos)
      << verified.out;
  TreeSnapshot after = SnapshotTree(site.Site());
  EXPECT_NE(after.at("servercfg.xml.minisig"), built.at("servercfg.xml.minisig"));
  after["servercfg.xml.minisig"] = built.at("servercfg.xml.minisig");
  EXPECT_EQ(after, built);

  const MinisignKeys other = MinisignGenerate(site.Path(), "other");
  const PublishRun foreign = Farpublish({"resign", site.Site().string(), "--key", other.secretKey});
  EXPECT_EQ(foreign.status, 1);
  EXPECT_NE(foreign.err.find("servercfg.xml.minisig is not this key's signature of the document"), std::string::npos)
      << foreign.err;
  EXPECT_EQ(Farpublish({"resign", site.Site().string()}).status, 2);
}

// A resign without --expires keeps the current signature's period from
// signing to expiry, so that a daily job that forgets the flag keeps
// freeze protection; --expires 0 drops it, with a warning.
TEST_F(FarpublishSign, ResignKeepsTheExpiryPeriodUnlessToldOtherwise) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  ASSERT_EQ(site.Build({"--sign", keys.secretKey, "--expires", "7"}).status, 0);
  // The trusted comment's seconds of `field`, none when it has no such field.
  const auto seconds = [&](const std::string& field) -> std::optional<std::uint64_t> {
    const ShellRun verified = Verify(keys);
    EXPECT_EQ(verified.status, 0) << verified.out;
    const std::size_t at = verified.out.find(field + ":");
    if (at == std::string::npos) return std::nullopt;
    return std::stoull(verified.out.substr(at + field.size() + 1));
  };
  const std::vector<std::string> resign = {"resign", site.Site().string(), "--key", keys.secretKey};
  PublishRun run = Farpublish(resign);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ASSERT_TRUE(seconds("expires"));
  EXPECT_EQ(*seconds("expires") - *seconds("timestamp"), 7u * 86400);

  std::vector<std::string> dropping = resign;
  dropping.insert(dropping.end(), {"--expires", "0"});
  run = Farpublish(dropping);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("farpublish: warning: signed without an expiry (--expires 0)"), std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find(", does not expire)"), std::string::npos) << run.out;
  EXPECT_FALSE(seconds("expires"));
  run = Farpublish(resign);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "nothing was dropped";
  EXPECT_FALSE(seconds("expires"));

  // Under another key the current expiry is unknown: said so, not dropped silently.
  const MinisignKeys other = MinisignGenerate(site.Path(), "other");
  run = Farpublish({"resign", site.Site().string(), "--key", other.secretKey, "--base-url",
                    PublishWorkspace::kBaseUrl});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("warning: signed without an expiry: the expiry of the current signature is not known"),
            std::string::npos)
      << run.err;
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

// A staged rollout: build puts the share on the newest entry alone; resign
// changes it in the signed document and nothing else, and keeps it unless
// given --rollout. At 100 the document is the one built without a share.
TEST_F(FarpublishSign, RolloutShareIsBuiltOnTheNewestEntryAndChangedByResign) {
  const MinisignKeys keys = MinisignGenerate(site.Path(), "publisher");
  const fs::path document = site.Site() / "servercfg.xml";
  const auto shares = [&] {
    std::vector<std::string> found;
    for (const auto& entry : ElementAttributes(document, "GameVersion")) {
      found.push_back(entry.count("Rollout") ? entry.at("Rollout") : "-");
    }
    return found;
  };
  const fs::path everyone = site.Path() / "EVERYONE";
  ASSERT_EQ(Farpublish({"build", site.Versions().string(), everyone.string(), "--base-url", PublishWorkspace::kBaseUrl})
                .status,
            0);
  ASSERT_EQ(site.Build({"--sign", keys.secretKey, "--rollout", "25"}).status, 0);
  EXPECT_EQ(shares(), (std::vector<std::string>{"-", "25"}));
  const TreeSnapshot built = SnapshotTree(site.Site());

  const std::vector<std::string> resign = {"resign", site.Site().string(), "--key", keys.secretKey};
  ASSERT_EQ(Farpublish(resign).status, 0);
  EXPECT_EQ(ReadFile(document), built.at("servercfg.xml"));
  std::vector<std::string> widen = resign;
  widen.insert(widen.end(), {"--rollout", "60"});
  const PublishRun widened = Farpublish(widen);
  ASSERT_EQ(widened.status, 0) << widened.err;
  EXPECT_EQ(shares(), (std::vector<std::string>{"-", "60"}));
  EXPECT_EQ(Verify(keys).status, 0) << "the signature covers the new share";
  TreeSnapshot after = SnapshotTree(site.Site());
  for (const char* changed : {"servercfg.xml", "servercfg.xml.minisig"}) after[changed] = built.at(changed);
  EXPECT_EQ(after, built);

  widen.back() = "100";
  ASSERT_EQ(Farpublish(widen).status, 0);
  EXPECT_EQ(ReadFile(document), ReadFile(everyone / "servercfg.xml"));
  EXPECT_EQ(Verify(keys).status, 0);

  for (const char* share : {"101", "-5", "half", ""}) {
    EXPECT_EQ(site.Build({"--rollout", share}).status, 2) << share;
    widen.back() = share;
    EXPECT_EQ(Farpublish(widen).status, 2) << share;
  }
}
