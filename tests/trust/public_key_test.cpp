// Reading the publisher's public key: minisign's file, its bare Base64 line,
// and what is refused.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "trust/minisign_cli.h"
#include "trust/public_key.h"
#include "trust/trust_text.h"

TEST(PublicKey, FileAndBareLineGiveTheSameKey) {
  TempDir dir;
  const std::string file = ReadFile(MinisignGenerate(dir.Path(), "publisher").publicKey);
  const TrustResult<PublicKey> fromFile = ParsePublicKey(file);
  ASSERT_TRUE(fromFile.value) << fromFile.error;
  EXPECT_EQ(fromFile.error, "");
  // The comment ends with the id as minisign prints it: without leading
  // zeros, where the launcher writes all 16 digits.
  const std::string comment(SplitLines(file)[0]);
  const std::string printed = comment.substr(comment.rfind(' ') + 1);
  EXPECT_EQ(FormatKeyId(fromFile.value->id), std::string(16 - printed.size(), '0') + printed);

  const std::string line(SplitLines(file)[1]);
  for (const std::string& text : {line, line + "\n", line + "\r\n", std::string(SplitLines(file)[0]) + "\r\n" + line}) {
    const TrustResult<PublicKey> parsed = ParsePublicKey(text);
    ASSERT_TRUE(parsed.value) << text;
    EXPECT_EQ(parsed.value->id, fromFile.value->id);
    EXPECT_EQ(parsed.value->ed25519, fromFile.value->ed25519);
  }
  EXPECT_EQ(FormatKeyId({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xfe}), "FE07060504030201");
}

TEST(PublicKey, MalformedKeysSayWhy) {
  TempDir dir;
  const std::string file = ReadFile(MinisignGenerate(dir.Path(), "publisher").publicKey);
  const std::string comment(SplitLines(file)[0]);
  const std::string line(SplitLines(file)[1]);
  std::uint8_t bytes[42];
  ASSERT_TRUE(DecodeBase64Exact(line, bytes, sizeof(bytes)));
  bytes[1] = 'D';
  const std::string otherAlgorithm = EncodeBase64(bytes, sizeof(bytes));

  const std::pair<std::string, std::string> cases[] = {
      {"", "expected the key's Base64 line, alone or after its comment line, found 0 lines"},
      {file + "\n", "expected the key's Base64 line, alone or after its comment line, found 3 lines"},
      {"comment\n" + line, "the first of two lines is not an untrusted comment"},
      {"untrusted comment: " + std::string(1004, 'x') + "\n" + line, "the comment line is too long"},
      {comment + "\n" + line.substr(0, 40), "the key line is not Base64 of 42 bytes"},
      {line + "AAAA", "the key line is not Base64 of 42 bytes"},
      {line + " ", "the key line is not Base64 of 42 bytes"},
      {std::string(line.size(), '*'), "the key line is not Base64 of 42 bytes"},
      {otherAlgorithm, "the algorithm is not Ed25519 (\"Ed\")"},
  };
  for (const auto& [text, why] : cases) {
    const TrustResult<PublicKey> parsed = ParsePublicKey(text);
    EXPECT_FALSE(parsed.value) << text;
    EXPECT_EQ(parsed.error, "public key: " + why);
  }
}
