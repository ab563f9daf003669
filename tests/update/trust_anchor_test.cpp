// What the update trusts: a key built into the program, else publisher.pub
// in the game directory, else nothing (and the log says so). A key that was
// given but cannot be used refuses every server document.
#include "update/site/trust_anchor.h"

#include <filesystem>

#include "trust/minisign_cli.h"
#include "trust/public_key.h"
#include "update/update_fixture.h"

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class TrustAnchorLoad : public UpdateFixture {
 protected:
  void SetUp() override {
    OpenTheFailureLog();
    first = MinisignGenerate(keys.Path(), "first");
    second = MinisignGenerate(keys.Path(), "second");
  }

  // The Base64 line of a public key file, as the build option takes it.
  static std::string KeyLine(const MinisignKeys& pair) {
    const std::string text = ReadFile(pair.publicKey);
    const std::size_t start = text.find('\n') + 1;
    return text.substr(start, text.find('\n', start) - start);
  }
  static std::string IdOf(const MinisignKeys& pair) {
    return FormatKeyId(ParsePublicKey(ReadFile(pair.publicKey)).value->id);
  }

  TempDir keys;
  MinisignKeys first;
  MinisignKeys second;
};

TEST_F(TrustAnchorLoad, ABuiltInKeyComesFirstThenTheFileThenNone) {
  const struct {
    const char* name;
    std::string builtIn;
    std::string fileName;  // empty: no file
    std::string fileText;
    std::string keyId;    // empty: no key
    std::string problem;  // empty: none
  } cases[] = {
      {"neither", "", "", "", "", ""},
      {"the file", "", "publisher.pub", ReadFile(first.publicKey), IdOf(first), ""},
      {"the file, spelt otherwise", "", "Publisher.PUB", ReadFile(first.publicKey), IdOf(first), ""},
      {"the file holding the Base64 line alone", "", "publisher.pub", KeyLine(first), IdOf(first), ""},
      {"built in, and a file of another key", KeyLine(first), "publisher.pub", ReadFile(second.publicKey),
       IdOf(first), ""},
      {"built in, and a damaged file", KeyLine(first), "publisher.pub", "garbage", IdOf(first), ""},
      {"a damaged file", "", "publisher.pub", "garbage", "", "publisher.pub: public key: the key line is not Base64"},
      {"the secret key as the file", "", "publisher.pub", ReadFile(first.secretKey), "",
       "publisher.pub: public key: the key line is not Base64 of 42 bytes"},
      {"a damaged built-in key", KeyLine(first).substr(0, 40), "", "", "", "the built-in publisher key: public key: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"publisher.pub", "Publisher.PUB"}) std::filesystem::remove(dir.Path() / name);
    if (!c.fileName.empty()) dir.Write(c.fileName, c.fileText);

    const TrustAnchor anchor = LoadTrustAnchor(c.builtIn);
    EXPECT_EQ(anchor.key ? FormatKeyId(anchor.key->id) : "", c.keyId);
    EXPECT_EQ(anchor.problem.substr(0, c.problem.size()), c.problem);
    EXPECT_EQ(anchor.problem.empty(), c.problem.empty()) << anchor.problem;
    EXPECT_EQ(anchor.Verified(), !c.keyId.empty() || !c.problem.empty());
  }
}

TEST_F(TrustAnchorLoad, ADamagedKeyFileRefusesEveryDocumentAndSaysWhy) {
  Install(true);
  state.UpdateServerAddr = site.Url("/servercfg.xml");
  site.Put("/servercfg.xml", ServerDocument{{ServerVersion{"1", "0", "10", "0010", {}}}, {}}.Text());
  dir.Write("publisher.pub", "untrusted comment: damaged\nRWQ\n");

  EXPECT_FALSE(StartUpdateOf(state, platform));
  EXPECT_FALSE(StartUpdateOf(state, platform));

  EXPECT_EQ(state.progress.stage.load(), ServerConfigRetry);
  EXPECT_EQ(site.Hits("/servercfg.xml"), 0) << "nothing is fetched that could not be checked";
  const std::string log = FailureLog();
  EXPECT_EQ(Count(log, "server document (" + site.Url("/servercfg.xml") +
                           "): publisher.pub: public key: the key line is not Base64 of 42 bytes"),
            2u)
      << log;
  EXPECT_EQ(Count(log, "not verified"), 0u) << log;
}

TEST_F(TrustAnchorLoad, AGameDirectoryWithoutAKeySaysSoOncePerRun) {
  Install(true);
  state.UpdateServerAddr = site.Url("/servercfg.xml");

  EXPECT_FALSE(StartUpdateOf(state, platform));
  EXPECT_FALSE(StartUpdateOf(state, platform));

  const std::string log = FailureLog();
  EXPECT_EQ(Count(log, "ERROR farLaunch] updates: not verified: no publisher key is built in and the game directory "
                       "has no publisher.pub; whoever answers in place of the update site can install anything. "
                       "Build the key in with FARLAUNCH_PUBLISHER_KEY, or ship publisher.pub in the client that "
                       "players install by hand\n"),
            1u)
      << log;
  EXPECT_EQ(Count(log, "HTTP 404"), 2u) << log;
}

}  // namespace
