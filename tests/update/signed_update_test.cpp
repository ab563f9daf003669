// Updates verified against the publisher's key: the server document must
// carry the publisher's minisign signature (keys and signatures made here by
// the real minisign) and every file it names its hash. Whatever fails ends
// the way a failed fetch or download always did, with nothing installed and
// the version unchanged; the reason stands in farLaunch.log.
#include <filesystem>
#include <functional>

#include "trust/minisign_cli.h"
#include "trust/tampering.h"
#include "update/update_fixture.h"
#include "update/update_workflow.h"

namespace {

constexpr std::uint64_t kSignedAt = 1700000000;

// The Sha256 and Size attributes of an item holding `bytes`.
std::vector<std::pair<std::string, std::string>> HashOf(const std::string& bytes) {
  return {{"Sha256", Sha256Of(bytes)}, {"Size", std::to_string(bytes.size())}};
}

// The cases of the table below arrange what is served through the public part.
class SignedUpdate : public UpdateFixture {
 public:
  using UpdateFixture::dir;
  using UpdateFixture::site;

  void SetUp() override {
    OpenTheFailureLog();
    publisher = MinisignGenerate(keys.Path(), "publisher");
    other = MinisignGenerate(keys.Path(), "other");
    Install(true);
    installed.UpdateServerAddr = state.UpdateServerAddr = site.Url("/servercfg.xml");
    dir.Write("b.txt", "b before");
    // A document stored by an earlier run: only an accepted one replaces it.
    dir.Write("servercfg.xml", "stored before");
  }

  void TrustThePublisher() { dir.Write("publisher.pub", ReadFile(publisher.publicKey)); }

  // 0010 installed; 0011 brings the patch, announced with `check`.
  ServerDocument Document(const std::vector<std::pair<std::string, std::string>>& check) {
    site.Put("/p11.zip", patch);
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "10", "0010", {}},
                         ServerVersion{"1", "0", "11", "0011", {ServerItem{"normal", "p11.zip", site.Url("/p11.zip"), check}}}};
    return document;
  }

  // minisign's signature of `text` by `by`, with minisign's own trusted
  // comment signed at `signedAt`.
  std::string Signature(const std::string& text, const MinisignKeys& by, std::uint64_t signedAt = kSignedAt) {
    const std::string path = keys.Write("servercfg.xml", text);
    MinisignSignOptions options;
    options.trustedComment = "timestamp:" + std::to_string(signedAt) + "\tfile:servercfg.xml\thashed";
    EXPECT_TRUE(MinisignSign(by, path, path + ".minisig", options));
    return ReadFile(path + ".minisig");
  }

  void Serve(const std::string& text, const std::optional<std::string>& signature) {
    site.Put("/servercfg.xml", text);
    if (signature) site.Put("/servercfg.xml.minisig", *signature);
  }
  void ServeSigned(const ServerDocument& document) {
    Serve(document.Text(), Signature(document.Text(), publisher));
  }

  const std::string patch = MakeZip({{"data/a.txt", "a from 11"}, {"b.txt", "b from 11"}});
  TempDir keys;
  MinisignKeys publisher;
  MinisignKeys other;

 protected:
  std::string RecordedTime() const { return dir.Has("farLaunch.signedtime") ? dir.Read("farLaunch.signedtime") : ""; }

  // Nothing of the patch reached the game and no version was recorded.
  void ExpectNothingInstalled() {
    EXPECT_EQ(state.progress.completion.load(), Pending);
    EXPECT_EQ(dir.Read("b.txt"), "b before");
    EXPECT_FALSE(dir.Has("data/a.txt"));
    EXPECT_FALSE(dir.Has("client.zip"));
    EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0010\""), std::string::npos);
  }

  void ExpectLogged(const std::string& line) {
    EXPECT_NE(FailureLog().find("ERROR farLaunch] " + line), std::string::npos) << FailureLog();
  }
};

TEST_F(SignedUpdate, ASignedDocumentWithTheRightHashesUpdatesToTheEnd) {
  TrustThePublisher();
  ServeSigned(Document(HashOf(patch)));

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForCompletion());

  EXPECT_EQ(state.progress.completion.load(), Finished);
  EXPECT_EQ(dir.Read("data/a.txt"), "a from 11");
  EXPECT_EQ(dir.Read("b.txt"), "b from 11");
  EXPECT_NE(ReadVersionDocument().find("PackageCode=\"0011\""), std::string::npos);
  EXPECT_EQ(RecordedTime(), std::to_string(kSignedAt) + "\n");
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(FailureLog(), "") << "a verified run without failures writes no log";
  for (const char* leftover : {"servercfg.xml", "servercfg.xml.download", "servercfg.xml.minisig", "client.zip"}) {
    EXPECT_FALSE(dir.Has(leftover)) << leftover;
  }
}

// With a key, the address a document names as UpdateBlockAddr is checked
// as the next start would check it: its own signature, signed at or after
// the one accepted here. Probing records nothing.
TEST_F(SignedUpdate, TheServerAddressMovesOnlyToADocumentSignedForItsNewAddress) {
  TrustThePublisher();
  ServerDocument moved = Document(HashOf(patch));
  const std::string movedText = moved.Text();
  site.Put("/moved.xml", movedText);
  ServerDocument document = Document(HashOf(patch));
  document.site["UpdateBlockAddr"] = site.Url("/moved.xml");
  ServeSigned(document);

  const std::pair<std::optional<std::string>, std::string> cases[] = {
      {std::nullopt, site.Url("/servercfg.xml")},                                   // no signature there
      {Signature(movedText, other), site.Url("/servercfg.xml")},                    // not the publisher's
      {Signature(movedText, publisher, kSignedAt - 1), site.Url("/servercfg.xml")},  // older
      {Signature(movedText, publisher, kSignedAt + 60), site.Url("/moved.xml")}};
  for (const auto& [signature, next] : cases) {
    SCOPED_TRACE(next);
    if (signature) site.Put("/moved.xml.minisig", *signature);
    std::string problem;
    state.entries.clear();
    state.UpdateServerAddr = site.Url("/servercfg.xml");
    ASSERT_TRUE(FetchServerDocument(state, platform) && LoadServerDocument(state));
    ASSERT_TRUE(WriteBack(state, platform, 1, problem)) << problem;
    EXPECT_EQ(state.UpdateServerAddr, next);
    EXPECT_EQ(RecordedTime(), std::to_string(kSignedAt) + "\n") << "the probe records no signing time";
    EXPECT_FALSE(dir.Has("servercfg.xml.download"));
  }
}

// Signing times against the one recorded here: the same document comes at
// every start, a newer one moves the record on, and a damaged record is
// said and replaced.
TEST_F(SignedUpdate, ADocumentSignedNoEarlierThanTheLastAcceptedOneIsAccepted) {
  TrustThePublisher();
  const std::string recorded = std::to_string(kSignedAt) + "\n";
  const std::pair<std::string, std::uint64_t> cases[] = {
      {recorded, kSignedAt}, {recorded, kSignedAt + 60}, {"17000O0000\n", kSignedAt}};
  for (const auto& [record, signedAt] : cases) {
    SCOPED_TRACE(record + " then " + std::to_string(signedAt));
    dir.Write("farLaunch.signedtime", record);
    const std::string text = Document(HashOf(patch)).Text();
    Serve(text, Signature(text, publisher, signedAt));
    EXPECT_TRUE(FetchServerDocument(state, platform));
    EXPECT_EQ(RecordedTime(), std::to_string(signedAt) + "\n");
  }
  ExpectLogged("farLaunch.signedtime: not a signing time; older server documents are not refused this time");
}

// What a man in the middle, a compromised mirror or a stale copy may serve,
// and the reason each refusal gives.
struct Tampering {
  const char* name;
  std::function<void(SignedUpdate&)> serve;
  std::function<std::string(SignedUpdate&)> logged;
  // True: the server document is refused (the fetch is tried again);
  // false: the download of the patch fails.
  bool documentRefused;
};

void PrintTo(const Tampering& tampering, std::ostream* out) { *out << tampering.name; }

class SignedUpdateRefuses : public SignedUpdate, public testing::WithParamInterface<Tampering> {};

TEST_P(SignedUpdateRefuses, NothingIsInstalled) {
  TrustThePublisher();
  GetParam().serve(*this);
  state.ends.failureExitCode = 1;

  if (GetParam().documentRefused) {
    EXPECT_FALSE(StartUpdateOf(state, platform));
    EXPECT_EQ(state.progress.stage.load(), ServerConfigRetry);
    EXPECT_FALSE(state.progress.workerRunning);
    EXPECT_EQ(site.Hits("/p11.zip"), 0);
    EXPECT_EQ(dir.Read("servercfg.xml"), "stored before");
  } else {
    ASSERT_TRUE(StartUpdateOf(state, platform));
    ASSERT_TRUE(WaitForWorker());
    EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("下载失败！！请检查网络重新下载")});
  }
  ExpectNothingInstalled();
  ExpectLogged(GetParam().logged(*this));
}

std::string DocumentRefused(SignedUpdate& test, const std::string& why) {
  return "server document (" + test.site.Url("/servercfg.xml") + "): " + why;
}
std::string PatchRefused(SignedUpdate& test, const std::string& why) {
  return "p11.zip (" + test.site.Url("/p11.zip") + "): " + why;
}

INSTANTIATE_TEST_SUITE_P(
    SignedUpdate, SignedUpdateRefuses,
    testing::Values(
        Tampering{"DocumentChangedByOneByteAfterSigning",
                  [](SignedUpdate& t) {
                    std::string text = t.Document(HashOf(t.patch)).Text();
                    const std::string signature = t.Signature(text, t.publisher);
                    text.replace(text.find("FileVersion=\"11\""), 16, "FileVersion=\"19\"");
                    t.Serve(text, signature);
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "signature refused: the signature does not match the document");
                  },
                  true},
        Tampering{"SignatureByAnotherKey",
                  [](SignedUpdate& t) {
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    t.Serve(text, t.Signature(text, t.other));
                  },
                  [](SignedUpdate& t) { return DocumentRefused(t, "signature refused: the signature's key id is "); },
                  true},
        Tampering{"MissingSignature", [](SignedUpdate& t) { t.Serve(t.Document(HashOf(t.patch)).Text(), std::nullopt); },
                  [](SignedUpdate& t) {
                    return "server document (" + t.site.Url("/servercfg.xml.minisig") + "): no signature: HTTP 404";
                  },
                  true},
        Tampering{"MalformedSignature",
                  [](SignedUpdate& t) { t.Serve(t.Document(HashOf(t.patch)).Text(), std::string("<html>Not found</html>")); },
                  [](SignedUpdate& t) { return DocumentRefused(t, "signature refused: malformed signature file: "); },
                  true},
        Tampering{"ReplayedOlderDocument",
                  [](SignedUpdate& t) {
                    t.dir.Write("farLaunch.signedtime", std::to_string(kSignedAt + 1) + "\n");
                    t.ServeSigned(t.Document(HashOf(t.patch)));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "replayed document: signed at 1700000000, before the one accepted here "
                                              "(signed at 1700000001)");
                  },
                  true},
        Tampering{"PatchArchiveChangedByOneByte",
                  [](SignedUpdate& t) {
                    t.ServeSigned(t.Document(HashOf(t.patch)));
                    t.site.Put("/p11.zip", OneByteChanged(t.patch));
                  },
                  [](SignedUpdate& t) {
                    return PatchRefused(t, "SHA-256 mismatch: expected " + Sha256Of(t.patch) + ", got " +
                                               Sha256Of(OneByteChanged(t.patch)));
                  },
                  false},
        Tampering{"WrongSize",
                  [](SignedUpdate& t) {
                    t.ServeSigned(
                        t.Document({{"Sha256", Sha256Of(t.patch)}, {"Size", std::to_string(t.patch.size() - 1)}}));
                  },
                  [](SignedUpdate& t) {
                    return PatchRefused(t, "size " + std::to_string(t.patch.size()) + " differs from the announced " +
                                               std::to_string(t.patch.size() - 1));
                  },
                  false},
        Tampering{"ItemWithoutSha256",
                  [](SignedUpdate& t) { t.ServeSigned(t.Document({{"Size", std::to_string(t.patch.size())}})); },
                  [](SignedUpdate& t) {
                    return PatchRefused(
                        t, "no Sha256 for this file: the update is verified, and the server document gives none");
                  },
                  false}),
    [](const testing::TestParamInfo<Tampering>& info) { return std::string(info.param.name); });

// Without a key the update runs as it always did; a hash the document
// gives is still checked.
TEST_F(SignedUpdate, WithoutAKeyAHashThatIsGivenIsStillChecked) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> check;
    std::string patch;
    std::string logged;
  } cases[] = {
      {"no hash, no signature", {}, patch, ""},
      {"the right hash", HashOf(patch), patch, ""},
      {"a hash of other bytes", HashOf(patch), OneByteChanged(patch), "SHA-256 mismatch: expected "},
      {"a hash that is none", {{"Sha256", "not-a-hash"}}, patch, "the Sha256 value \"not-a-hash\" is not 64 hex digits"},
      {"a size that is none", {{"Size", "12k"}}, patch, "the Size value \"12k\" is not a number of bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LauncherState fresh;
    fresh.PackageCode = "0010";
    fresh.UpdateServerAddr = site.Url("/servercfg.xml");
    fresh.needFullInstall = false;
    fresh.ends.failureExitCode = 1;
    Serve(Document(c.check).Text(), std::nullopt);
    site.Put("/p11.zip", c.patch);
    const std::size_t exits = platform.system.ExitCodes().size();

    ASSERT_TRUE(StartUpdateOf(fresh, platform));
    ASSERT_TRUE(WaitUntil([&] { return !fresh.progress.workerRunning; }));
    if (c.logged.empty()) {
      EXPECT_EQ(fresh.progress.completion.load(), Finished);
      EXPECT_EQ(dir.Read("b.txt"), "b from 11");
    } else {
      EXPECT_EQ(platform.system.ExitCodes().size(), exits + 1);
      EXPECT_NE(FailureLog().find("p11.zip (" + site.Url("/p11.zip") + "): " + c.logged), std::string::npos)
          << FailureLog();
      EXPECT_EQ(fresh.progress.completion.load(), Pending);
    }
    dir.Write("b.txt", "b before");
    dir.Write("updatecfg.xml", StoredVersionDocument(installed));
  }
  EXPECT_FALSE(dir.Has("farLaunch.signedtime"));
}

TEST_F(SignedUpdate, TheFullPackageIsVerifiedTheSameWay) {
  TrustThePublisher();
  std::filesystem::remove(dir.Path() / "client.exe");
  const std::string package = MakeZip({{"client.exe", "new client"}, {"data/a.txt", "a from 12"}});
  ServerDocument document = Document(HashOf(patch));
  site.Put("/full.zip", OneByteChanged(package));
  document.site = {{"MiniTargetFileName", "client.zip"},
                   {"MiniSourceFileAddr", site.Url("/full.zip")},
                   {"MiniSha256", Sha256Of(package)},
                   {"MiniSize", std::to_string(package.size())}};
  ServeSigned(document);
  state.needFullInstall = true;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());

  EXPECT_EQ(BoxTexts(), std::vector<std::string>{Gbk("下载失败！！！")});
  EXPECT_EQ(state.progress.stage.load(), CannotUpdate);
  EXPECT_FALSE(dir.Has("client.exe"));
  ExpectNothingInstalled();
  ExpectLogged("full client package client.zip (" + site.Url("/full.zip") + "): SHA-256 mismatch: expected " +
               Sha256Of(package));
}

}  // namespace
