// Our signatures are minisign's: minisign -V accepts them, and for the same
// key, document and time they are minisign's own bytes.
#include <gtest/gtest.h>

#include <string>

#include "trust/secret_key.h"
#include "trust/signature_check.h"
#include "trust/signature_file.h"
#include "trust/signed_document_fixture.h"
#include "trust/signing.h"
#include "trust/trust_text.h"

namespace {

constexpr std::uint64_t kSignedAt = 1700000000;

}  // namespace

class SigningTest : public SignedDocument {
 protected:
  void SetUp() override {
    SignedDocument::SetUp();
    const SecretKeyLoad load = ParseSecretKey(ReadFile(publisher.secretKey), std::nullopt);
    ASSERT_TRUE(load.key) << load.reason;
    secret.emplace(*load.key);
  }

  std::optional<SecretKey> secret;
};

TEST_F(SigningTest, MinisignAcceptsOurSignature) {
  const TrustResult<std::string> signature = SignDocument(*secret, document, {"servercfg.xml", kSignedAt});
  ASSERT_TRUE(signature.value) << signature.error;
  EXPECT_EQ(signature.error, "");
  const ShellRun verified =
      MinisignVerify(publisher.publicKey, documentPath, dir.Write("servercfg.xml.minisig", *signature.value));
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_NE(verified.out.find("Trusted comment: timestamp:1700000000\tfile:servercfg.xml\thashed\n"), std::string::npos)
      << verified.out;
  EXPECT_EQ(SplitLines(*signature.value)[0], "untrusted comment: signature from farpublish secret key");

  const Verification ours = VerifySignature(key, document, *signature.value);
  ASSERT_TRUE(ours.Valid()) << ours.reason;
  EXPECT_EQ(ours.timestamp, kSignedAt);

  // Signing is deterministic: the same inputs give the same file.
  EXPECT_EQ(SignDocument(*secret, document, {"servercfg.xml", kSignedAt}).value, signature.value);

  // minisign refuses it for another document and another key.
  WriteFile(documentPath, document + "x");
  EXPECT_EQ(MinisignVerify(publisher.publicKey, documentPath, dir.File("servercfg.xml.minisig")).status, 1);
  WriteFile(documentPath, document);
  EXPECT_EQ(MinisignVerify(other.publicKey, documentPath, dir.File("servercfg.xml.minisig")).status, 1);
}

TEST_F(SigningTest, SameBytesAsMinisignForTheSameTime) {
  const std::string theirs = Signature();
  const auto timestamp = TrustedCommentTimestamp(SplitLines(theirs)[2].substr(kTrustedCommentPrefix.size()));
  ASSERT_TRUE(timestamp);
  const TrustResult<std::string> ours = SignDocument(*secret, document, {"servercfg.xml", *timestamp});
  ASSERT_TRUE(ours.value) << ours.error;
  // All but the untrusted comment, which is each tool's own.
  EXPECT_EQ(ours.value->substr(ours.value->find('\n')), theirs.substr(theirs.find('\n')));
}

TEST_F(SigningTest, NamesThatCannotBeWrittenAreRefused) {
  for (const std::string& name : {std::string("a\nb"), std::string("a\rb"), std::string("a\tb"), std::string("a\0b", 3)}) {
    const TrustResult<std::string> signature = SignDocument(*secret, document, {name, kSignedAt});
    EXPECT_FALSE(signature.value);
    EXPECT_EQ(signature.error, "cannot sign: the file name holds a tab, a line break or a NUL byte");
  }
  // The longest name whose trusted comment minisign still reads.
  const std::string frame = "trusted comment: " + MinisignTrustedComment({"", kSignedAt});
  const std::string longest(8190 - frame.size(), 'n');
  const TrustResult<std::string> fits = SignDocument(*secret, document, {longest, kSignedAt});
  ASSERT_TRUE(fits.value) << fits.error;
  EXPECT_TRUE(VerifySignature(key, document, *fits.value).Valid());
  EXPECT_EQ(MinisignVerify(publisher.publicKey, documentPath, dir.Write("long.minisig", *fits.value)).status, 0);
  EXPECT_EQ(SignDocument(*secret, document, {longest + "n", kSignedAt}).error,
            "cannot sign: the file name and addresses are too long for minisign's trusted comment");
}
