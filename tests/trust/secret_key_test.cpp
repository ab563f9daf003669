// Loading minisign's secret keys: encrypted and not, the wrong password, and
// damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "trust/minisign_cli.h"
#include "trust/secret_key.h"
#include "trust/trust_text.h"

namespace {

PublicKey PublicKeyOf(const MinisignKeys& keys) { return *ParsePublicKey(ReadFile(keys.publicKey)).value; }

// The key file with its decoded bytes changed by `change`.
template <typename Change>
std::string Altered(const std::string& file, Change change) {
  const std::vector<std::string_view> lines = SplitLines(file);
  std::vector<std::uint8_t> bytes(158);
  EXPECT_TRUE(DecodeBase64Exact(lines[1], bytes.data(), bytes.size()));
  change(bytes);
  return std::string(lines[0]) + "\n" + EncodeBase64(bytes.data(), bytes.size()) + "\n";
}

void ExpectProblem(const SecretKeyLoad& load, SecretKeyProblem problem, const std::string& why) {
  EXPECT_FALSE(load.key);
  EXPECT_EQ(load.problem, problem);
  EXPECT_EQ(load.reason, "secret key: " + why);
}

}  // namespace

TEST(SecretKey, KeyWithoutPasswordLoadsAndMatchesItsPublicKey) {
  TempDir dir;
  const MinisignKeys keys = MinisignGenerate(dir.Path(), "publisher");
  const std::string file = ReadFile(keys.secretKey);
  for (const std::optional<std::string>& password : {std::optional<std::string>(), std::optional<std::string>("ignored")}) {
    const SecretKeyLoad load = ParseSecretKey(file, password);
    ASSERT_TRUE(load.key) << load.reason;
    EXPECT_EQ(load.problem, SecretKeyProblem::None);
    EXPECT_EQ(load.key->Public().id, PublicKeyOf(keys).id);
    EXPECT_EQ(load.key->Public().ed25519, PublicKeyOf(keys).ed25519);
  }
  // minisign leaves the checksum of such a key as zeros; a present one counts.
  const SecretKeyLoad damaged = ParseSecretKey(Altered(file, [](std::vector<std::uint8_t>& b) { b[157] = 1; }), std::nullopt);
  ExpectProblem(damaged, SecretKeyProblem::Malformed, "the checksum does not match: the key is damaged");
  ExpectProblem(ParseSecretKey(Altered(file, [](std::vector<std::uint8_t>& b) { b[100] ^= 1; }), std::nullopt),
                SecretKeyProblem::Malformed, "the key's public half does not belong to its secret half");
}

TEST(SecretKey, EncryptedKeyNeedsTheRightPassword) {
  TempDir dir;
  const MinisignKeys keys = MinisignGenerate(dir.Path(), "publisher", "correct horse");
  const std::string file = ReadFile(keys.secretKey);
  ASSERT_EQ(SplitLines(file)[1].substr(0, 6), "RWRTY0");  // "Ed", "Sc", "B2"

  const SecretKeyLoad load = ParseSecretKey(file, "correct horse");
  ASSERT_TRUE(load.key) << load.reason;
  EXPECT_EQ(load.key->Public().id, PublicKeyOf(keys).id);
  EXPECT_EQ(load.key->Public().ed25519, PublicKeyOf(keys).ed25519);

  ExpectProblem(ParseSecretKey(file, "correct horse "), SecretKeyProblem::WrongPassword,
                "wrong password (the checksum does not match)");
  ExpectProblem(ParseSecretKey(file, std::nullopt), SecretKeyProblem::PasswordRequired,
                "the key is encrypted: a password is needed");
  // A file asking scrypt for more than minisign ever does (here: the top byte
  // of the little-endian opslimit) is not run.
  ExpectProblem(ParseSecretKey(Altered(file, [](std::vector<std::uint8_t>& b) { b[45] = 0x01; }), "correct horse"),
                SecretKeyProblem::Unsupported, "the scrypt limits are above what minisign writes");
}

TEST(SecretKey, DamagedFilesSayWhy) {
  TempDir dir;
  const std::string file = ReadFile(MinisignGenerate(dir.Path(), "publisher").secretKey);
  const std::string line(SplitLines(file)[1]);
  const auto setField = [&](std::size_t offset, const char* value) {
    return Altered(file, [&](std::vector<std::uint8_t>& b) { std::copy(value, value + 2, b.begin() + offset); });
  };
  const std::pair<std::string, std::string> malformed[] = {
      {"", "expected an untrusted comment line and a Base64 line"},
      {line, "expected an untrusted comment line and a Base64 line"},
      {"comment\n" + line, "expected an untrusted comment line and a Base64 line"},
      {file + "\nextra", "expected an untrusted comment line and a Base64 line"},
      {"untrusted comment: x\n" + line.substr(0, 100), "the key line is not Base64 of 158 bytes"},
      {"untrusted comment: x\n" + line + "AAAA", "the key line is not Base64 of 158 bytes"},
  };
  for (const auto& [text, why] : malformed) ExpectProblem(ParseSecretKey(text, std::nullopt), SecretKeyProblem::Malformed, why);
  ExpectProblem(ParseSecretKey(setField(0, "ED"), std::nullopt), SecretKeyProblem::Unsupported,
                "the signature algorithm is not Ed25519 (\"Ed\")");
  ExpectProblem(ParseSecretKey(setField(2, "Ar"), std::nullopt), SecretKeyProblem::Unsupported,
                "the key derivation is neither scrypt (\"Sc\") nor none");
  ExpectProblem(ParseSecretKey(setField(4, "B3"), std::nullopt), SecretKeyProblem::Unsupported,
                "the checksum algorithm is not BLAKE2b (\"B2\")");
}
