// Every SHA-256 block function this CPU runs, against the published test
// vectors and against libsodium's SHA-256 (its own padding, so a fault in
// ours shows), fed in pieces of any size.
#include <gtest/gtest.h>
#include <sodium.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/random_bytes.h"
#include "trust/sha256.h"

namespace {

// The block functions this CPU runs, by name.
std::vector<std::pair<std::string, Sha256Blocks>> BlockFunctions() {
  std::vector<std::pair<std::string, Sha256Blocks>> functions = {{"portable", PortableSha256Blocks}};
  if (const Sha256Blocks fast = ShaExtensionSha256Blocks()) functions.emplace_back("sha extensions", fast);
  return functions;
}

std::string SodiumSha256Hex(const std::string& content) {
  unsigned char digest[crypto_hash_sha256_BYTES];
  crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(content.data()), content.size());
  char hex[2 * crypto_hash_sha256_BYTES + 1];
  return sodium_bin2hex(hex, sizeof(hex), digest, sizeof(digest));
}

}  // namespace

TEST(Sha256Blocks, EveryBlockFunctionGivesTheTestVectors) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
  for (const auto& [name, blocks] : BlockFunctions()) {
    Sha256 hash(blocks);
    for (const auto& [message, expected] : vectors) {
      hash.Update(message);
      EXPECT_EQ(hash.FinishHex(), expected) << name << ", " << message.size() << " bytes";
    }
  }
}

// Every length around the padding's edges, and a few blocks more, cut into
// pieces of odd sizes that straddle the blocks' edges.
TEST(Sha256Blocks, EveryBlockFunctionMatchesLibsodiumOnAnyLengthInAnyPieces) {
  std::mt19937 random(29);
  std::vector<std::size_t> lengths;
  for (std::size_t length = 0; length <= 200; ++length) lengths.push_back(length);
  for (const std::size_t length : {4095, 4096, 4097, 65536 + 7}) lengths.push_back(length);
  for (const std::size_t length : lengths) {
    const std::string content = RandomBytes(random, length);
    const std::string expected = SodiumSha256Hex(content);
    for (const auto& [name, blocks] : BlockFunctions()) {
      Sha256 hash(blocks);
      for (std::size_t at = 0; at < content.size();) {
        const std::size_t piece = 1 + random() % 150;
        hash.Update(std::string_view(content).substr(at, piece));
        at += piece;
      }
      EXPECT_EQ(hash.FinishHex(), expected) << name << ", " << length << " bytes";
    }
  }
}
