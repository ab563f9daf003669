// Updates verified against the publisher's key: the server document must
// carry the publisher's minisign signature (keys and signatures made here by
// the real minisign) and every file it names its hash. Whatever fails ends
// the way a failed fetch or download always did, with nothing installed and
// the version unchanged; the reason stands in farLaunch.log.
#include <filesystem>
#include <functional>
#include <thread>

#include "trust/document_address.h"
#include "trust/minisign_cli.h"
#include "trust/public_key.h"
#include "trust/tampering.h"
#include "update/server_fetch.h"
#include "update/site/document_download.h"
#include "update/site/document_signature.h"
#include "update/update_fixture.h"
#include "update/version_record.h"

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

  // The trusted comment farpublish writes for the document served here,
  // signed at `signedAt`, with `more` fields before minisign's last.
  std::string Comment(std::uint64_t signedAt = kSignedAt, const std::string& more = "") {
    return "timestamp:" + std::to_string(signedAt) + "\tfile:servercfg.xml\turl:" + site.Url("/servercfg.xml") +
           more + "\thashed";
  }

  // minisign's signature of `text` by `by`, with the trusted comment
  // `comment`.
  std::string SignatureWith(const std::string& text, const MinisignKeys& by, const std::string& comment) {
    const std::string path = keys.Write("servercfg.xml", text);
    MinisignSignOptions options;
    options.trustedComment = comment;
    EXPECT_TRUE(MinisignSign(by, path, path + ".minisig", options));
    return ReadFile(path + ".minisig");
  }
  std::string Signature(const std::string& text, const MinisignKeys& by, std::uint64_t signedAt = kSignedAt) {
    return SignatureWith(text, by, Comment(signedAt));
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
    EXPECT_FALSE(dir.Has("farLaunch.download.0011.1"));
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
  EXPECT_EQ(RecordedTime(), std::to_string(kSignedAt) + " " + Sha256Of(ReadFile(keys.File("servercfg.xml"))) + " url\n");
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(FailureLog(), "") << "a verified run without failures writes no log";
  for (const char* leftover :
       {"servercfg.xml", "servercfg.xml.download", "servercfg.xml.minisig", "farLaunch.download.0011.1"}) {
    EXPECT_FALSE(dir.Has(leftover)) << leftover;
  }
}

// With a key, the address a document names as UpdateBlockAddr is checked
// as the next start would check it: its own signature, signed at or after
// the one accepted here, naming the new address. Probing records nothing.
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
      {Signature(movedText, publisher, kSignedAt + 60), site.Url("/servercfg.xml")},  // signed for the old address
      {SignatureWith(movedText, publisher,
                     "timestamp:" + std::to_string(kSignedAt + 60) + "\turl:" + site.Url("/moved.xml") + "\thashed"),
       site.Url("/moved.xml")}};
  for (const auto& [signature, next] : cases) {
    SCOPED_TRACE(next);
    if (signature) site.Put("/moved.xml.minisig", *signature);
    std::string problem;
    state.entries.clear();
    state.UpdateServerAddr = site.Url("/servercfg.xml");
    ASSERT_TRUE(FetchServerDocument(state, platform) && LoadServerDocument(state));
    const std::string recorded = RecordedTime();
    ASSERT_TRUE(WriteBack(state, platform, 1, problem)) << problem;
    EXPECT_EQ(state.UpdateServerAddr, next);
    EXPECT_EQ(RecordedTime(), recorded) << "the probe records no signing time";
    EXPECT_FALSE(dir.Has("servercfg.xml.download"));
  }
}

// Signing times against the one recorded here: the same document comes at
// every start, a newer one moves the record on, a damaged record is said
// and replaced, and a record of an older launcher (seconds alone) takes the
// same second. The address may be named in any letter case and with its
// default port, or as a second address; a document naming none is taken,
// and said, until one naming it was.
TEST_F(SignedUpdate, ADocumentSignedNoEarlierThanTheLastAcceptedOneIsAccepted) {
  TrustThePublisher();
  const std::string text = Document(HashOf(patch)).Text();
  const std::string bound = " " + Sha256Of(text) + " url\n";
  const std::string upper = "HTTP://" + site.Url("/servercfg.xml").substr(7);
  const struct {
    std::string record;
    std::uint64_t signedAt;
    std::string comment;
    std::string recorded;
  } cases[] = {
      {std::to_string(kSignedAt) + bound, kSignedAt, Comment(), std::to_string(kSignedAt) + bound},
      {std::to_string(kSignedAt) + bound, kSignedAt + 60, Comment(kSignedAt + 60),
       std::to_string(kSignedAt + 60) + bound},
      {"17000O0000\n", kSignedAt, Comment(), std::to_string(kSignedAt) + bound},
      {std::to_string(kSignedAt) + "\n", kSignedAt, Comment(), std::to_string(kSignedAt) + bound},
      {"", kSignedAt, "timestamp:1700000000\turl:" + upper, std::to_string(kSignedAt) + bound},
      {"", kSignedAt, "timestamp:1700000000\turl:http://elsewhere/a.xml\turl:" + site.Url("/servercfg.xml"),
       std::to_string(kSignedAt) + bound},
      {"", kSignedAt, "timestamp:1700000000\tfile:servercfg.xml",
       std::to_string(kSignedAt) + " " + Sha256Of(text) + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record + " then " + c.comment);
    if (c.record.empty()) {
      std::filesystem::remove(dir.Path() / "farLaunch.signedtime");
    } else {
      dir.Write("farLaunch.signedtime", c.record);
    }
    Serve(text, SignatureWith(text, publisher, c.comment));
    EXPECT_TRUE(FetchServerDocument(state, platform));
    EXPECT_EQ(RecordedTime(), c.recorded);
  }
  ExpectLogged("farLaunch.signedtime: not a signing time; older server documents are not refused this time");
  ExpectLogged("server document (" + site.Url("/servercfg.xml") +
               "): accepted, but its signature names no address (url:); such documents are refused once one that "
               "does is accepted here: sign it with farpublish build --sign");
  EXPECT_TRUE(SameDocumentAddress("http://localhost/servercfg.xml", "http://LocalHost:80/servercfg.xml"));
  EXPECT_TRUE(SameDocumentAddress("https://Host.Example:443/a/B", "HTTPS://host.example/a/B"));
  EXPECT_FALSE(SameDocumentAddress("https://host/a/B", "https://host/a/b"));
  EXPECT_FALSE(SameDocumentAddress("https://host/a", "http://host/a"));
  EXPECT_FALSE(SameDocumentAddress("http://host:8080/a", "http://host/a"));
}

// The address compared is the one requested: a redirect does not change
// which document the game asked for.
TEST_F(SignedUpdate, TheAddressComparedIsTheOneRequestedBeforeRedirects) {
  TrustThePublisher();
  for (const char* path : {"/old.xml", "/old.xml.minisig"}) {
    site.Route(path, [path](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/servercfg" + std::string(path).substr(4));
    });
  }
  state.UpdateServerAddr = site.Url("/old.xml");
  const std::string text = Document(HashOf(patch)).Text();
  Serve(text, Signature(text, publisher));  // names where the redirect ends
  EXPECT_FALSE(FetchServerDocument(state, platform));
  ExpectLogged("server document (" + site.Url("/old.xml") + "): a document for another address: its signature names " +
               site.Url("/servercfg.xml"));

  Serve(text, SignatureWith(text, publisher, "timestamp:1700000000\turl:" + site.Url("/old.xml")));
  EXPECT_TRUE(FetchServerDocument(state, platform));
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
        Tampering{"AnotherProductsDocument",
                  [](SignedUpdate& t) {
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    t.Serve(text, t.SignatureWith(text, t.publisher,
                                                  "timestamp:1700000000\tfile:servercfg.xml\turl:" +
                                                      t.site.Url("/other/servercfg.xml")));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "a document for another address: its signature names " +
                                                  t.site.Url("/other/servercfg.xml"));
                  },
                  true},
        Tampering{"NoAddressAfterOneWithAddress",
                  [](SignedUpdate& t) {
                    t.dir.Write("farLaunch.signedtime", "1600000000 " + std::string(64, 'a') + " url\n");
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    t.Serve(text, t.SignatureWith(text, t.publisher, "timestamp:1700000000\tfile:servercfg.xml"));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "the signature names no address (url:), and this game directory has "
                                              "accepted documents that do: sign it with farpublish build --sign");
                  },
                  true},
        Tampering{"NoTimestamp",
                  [](SignedUpdate& t) {
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    t.Serve(text, t.SignatureWith(text, t.publisher, "file:servercfg.xml\turl:" +
                                                                        t.site.Url("/servercfg.xml")));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "the signature has no timestamp, so an older document could stand in "
                                              "for a newer one");
                  },
                  true},
        Tampering{"AnotherDocumentSignedInTheSameSecond",
                  [](SignedUpdate& t) {
                    t.dir.Write("farLaunch.signedtime", "1700000000 " + Sha256Of("withdrawn") + " url\n");
                    t.ServeSigned(t.Document(HashOf(t.patch)));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "replayed document: signed at 1700000000, the second of the one "
                                              "accepted here, but its bytes differ");
                  },
                  true},
        Tampering{"ExpiredDocument",
                  [](SignedUpdate& t) {
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    t.Serve(text, t.SignatureWith(text, t.publisher, t.Comment(kSignedAt, "\texpires:1700086400")));
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "expired document: it expired on 2023-11-15 22:13:20 UTC, and the "
                                              "clock here says 20");
                  },
                  true},
        Tampering{"SignatureRelabelledLegacy",
                  [](SignedUpdate& t) {
                    const std::string text = t.Document(HashOf(t.patch)).Text();
                    std::string signature = t.Signature(text, t.publisher);
                    // "RU" (ED) becomes "RW" (Ed) at the start of the signature line.
                    signature[signature.find("\nRU") + 2] = 'W';
                    t.Serve(text, signature);
                  },
                  [](SignedUpdate& t) {
                    return DocumentRefused(t, "signature refused: the signature uses minisign's legacy algorithm Ed");
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
                  false},
        // Its hash is known only at the end: it could grow without bound.
        Tampering{"ItemWithoutSize", [](SignedUpdate& t) { t.ServeSigned(t.Document({{"Sha256", Sha256Of(t.patch)}})); },
                  [](SignedUpdate& t) {
                    return PatchRefused(
                        t, "no Size for this file: the update is verified, and the server document gives none");
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

// Without a key no size is known before the end: a file stops at 4 GiB,
// and the log says why.
TEST_F(SignedUpdate, WithoutAKeyAFileStopsAt4GiB) {
  site.Route("/p11.zip", [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(std::size_t{5} << 30, "application/zip",
                                  [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                    sink.write("PK", 2);
                                    return false;
                                  });
  });
  Serve(Document({}).Text(), std::nullopt);
  state.ends.failureExitCode = 1;

  ASSERT_TRUE(StartUpdateOf(state, platform));
  ASSERT_TRUE(WaitForWorker());
  EXPECT_EQ(platform.system.ExitCodes(), std::vector<int>{1});
  ExpectNothingInstalled();
  ExpectLogged("p11.zip (" + site.Url("/p11.zip") +
               "): larger than 4294967296 bytes (5368709120 announced); an unverified update takes no file larger "
               "than 4 GiB");
}

// A document or a signature that trickles in never stalls: its deadline
// ends the fetch (each would take hours here).
TEST_F(SignedUpdate, ATricklingDocumentOrSignatureEndsAtItsDeadline) {
  for (const char* path : {"/servercfg.xml", "/servercfg.xml.minisig"}) {
    site.Route(path, [](const httplib::Request&, httplib::Response& response) {
      response.set_content_provider(10000, "text/xml",
                                    [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(500));
                                      return sink.write("<", 1);
                                    });
    });
  }
  const std::optional<PublicKey> key = ParsePublicKey(ReadFile(publisher.publicKey)).value;
  ASSERT_TRUE(key);
  DocumentSignature signature;
  std::thread signatureFetch([&] {
    signature = CheckDocumentSignature(site.Url("/servercfg.xml"), "", *key, platform.GetUiThread());
  });
  std::string document;
  std::string reason;
  EXPECT_FALSE(DownloadServerDocument(site.Url("/servercfg.xml"), platform.GetUiThread(), document, reason));
  signatureFetch.join();
  EXPECT_EQ(reason.rfind("not complete within 30 seconds after ", 0), 0u) << reason;
  EXPECT_FALSE(signature.valid);
  EXPECT_EQ(signature.reason.rfind("no signature: not complete within 30 seconds after ", 0), 0u) << signature.reason;
}

// A patch served to a game without a key cannot make its sender the
// publisher: its trust files are skipped, the rest installs and the run
// stays unverified. A verified run installs them (a key rotation).
TEST_F(SignedUpdate, OnlyAVerifiedRunInstallsTrustFiles) {
  const std::string takeover =
      MakeZip({{"Publisher.PUB", "attacker key"}, {"./farlaunch.signedtime. ", "9999999999\n"}, {"b.txt", "b from 11"}});
  for (const bool verified : {false, true}) {
    SCOPED_TRACE(verified ? "verified" : "without a key");
    LauncherState run;
    run.PackageCode = "0010";
    run.UpdateServerAddr = site.Url("/servercfg.xml");
    run.needFullInstall = false;
    if (verified) dir.Write("publisher.pub", ReadFile(publisher.publicKey));
    ServerDocument document = Document(HashOf(takeover));
    document.versions[1].items.push_back(
        ServerItem{"", ".\\PUBLISHER.pub", site.Url("/key"), HashOf("item key")});
    site.Put("/p11.zip", takeover);
    site.Put("/key", "item key");
    if (verified) {
      ServeSigned(document);
    } else {
      Serve(document.Text(), std::nullopt);
    }

    ASSERT_TRUE(StartUpdateOf(run, platform));
    ASSERT_TRUE(WaitUntil([&] { return !run.progress.workerRunning; }));
    EXPECT_EQ(run.progress.completion.load(), Finished);
    EXPECT_EQ(dir.Read("b.txt"), "b from 11");
    if (verified) {
      EXPECT_EQ(dir.Read("publisher.pub"), "item key");
    } else {
      EXPECT_FALSE(dir.Has("publisher.pub"));
      EXPECT_FALSE(dir.Has("farLaunch.signedtime"));
      for (const std::string& line : {std::string("Publisher.PUB (farLaunch.download.0011.1): "),
                                      std::string("farlaunch.signedtime.  (farLaunch.download.0011.1): "),
                                      ".\\PUBLISHER.pub (" + site.Url("/key") + "): "}) {
        ExpectLogged(line + "an unverified update may not install a publisher key");
      }
    }
    dir.Write("b.txt", "b before");
    dir.Write("updatecfg.xml", StoredVersionDocument(installed));
  }
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
