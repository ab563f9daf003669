// SHA-256 while a file arrives in pieces, checked against sha256sum and the
// published test vectors, on every block function this CPU runs; and the hex
// form a server document gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "trust/minisign_cli.h"
#include "trust/pipelined_sha256.h"
#include "trust/sha256.h"

namespace {

std::string Sha256Sum(const std::string& path) {
  const ShellRun run = RunShell("sha256sum " + ShellQuoted(path));
  EXPECT_EQ(run.status, 0);
  return run.out.substr(0, 64);
}

// The block functions this CPU runs, by name.
std::vector<std::pair<std::string, Sha256Blocks>> BlockFunctions() {
  std::vector<std::pair<std::string, Sha256Blocks>> functions = {{"portable", PortableSha256Blocks}};
  if (const Sha256Blocks fast = ShaExtensionSha256Blocks()) functions.emplace_back("sha extensions", fast);
  return functions;
}

std::string RandomBytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

}  // namespace

TEST(Sha256, EveryBlockFunctionGivesTheTestVectors) {
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
TEST(Sha256, BlockFunctionsAgreeOnAnyLengthInAnyPieces) {
  std::mt19937 random(29);
  std::vector<std::size_t> lengths;
  for (std::size_t length = 0; length <= 200; ++length) lengths.push_back(length);
  for (const std::size_t length : {4095, 4096, 4097, 65536 + 7}) lengths.push_back(length);
  for (const std::size_t length : lengths) {
    const std::string content = RandomBytes(random, length);
    Sha256 whole(PortableSha256Blocks);
    whole.Update(content);
    const std::string expected = whole.FinishHex();
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

TEST(Sha256, PiecesOfAnySizeGiveSha256sumsHash) {
  TempDir dir;
  std::mt19937 random(7);
  const std::string content = RandomBytes(random, 3 * 65536 + 1001);
  const std::string expected = Sha256Sum(dir.Write("archive.zip", content));

  Sha256 hash;
  for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{4093}, std::size_t{65536}, content.size()}) {
    for (std::size_t at = 0; at < content.size(); at += pieceSize) hash.Update(std::string_view(content).substr(at, pieceSize));
    // Each finish starts the next hash afresh.
    EXPECT_EQ(hash.FinishHex(), expected) << pieceSize;
  }
  EXPECT_EQ(hash.FinishHex(), Sha256Sum(dir.Write("empty", "")));
  hash.Update("");
  EXPECT_EQ(hash.FinishHex(), Sha256Sum(dir.File("empty")));
}

// Hashed on a second thread in batches of some MiB: pieces across the
// batches' edges, and a hasher used again after its finish.
TEST(Sha256, PipelinedGivesTheSameHash) {
  std::mt19937 random(8);
  const std::string content = RandomBytes(random, (9 << 20) + 12345);
  Sha256 plain;
  plain.Update(content);
  const std::string expected = plain.FinishHex();
  PipelinedSha256 hash;
  for (const std::size_t pieceSize : {std::size_t{131072}, std::size_t{1000003}}) {
    for (std::size_t at = 0; at < content.size(); at += pieceSize) {
      hash.Update(std::string_view(content).substr(at, pieceSize));
    }
    EXPECT_EQ(hash.FinishHex(), expected) << pieceSize;
  }
  EXPECT_EQ(hash.FinishHex(), plain.FinishHex()) << "nothing hashed";
}

TEST(Sha256, HexTextIsCheckedAndLowered) {
  const std::string lower = "037e34ba10c9023aea2870695a50b2979fbc70ec4f0473e507099a30294de0e9";
  EXPECT_EQ(ParseSha256Hex(lower), lower);
  EXPECT_EQ(ParseSha256Hex("037E34BA10C9023AEA2870695A50B2979FBC70EC4F0473E507099A30294DE0E9"), lower);
  for (const std::string& text : {std::string(), lower.substr(1), lower + "0", " " + lower.substr(1),
                                  lower.substr(1) + "\n", lower.substr(1) + "g", lower.substr(1) + std::string(1, '\0'),
                                  "0x" + lower.substr(2)}) {
    EXPECT_FALSE(ParseSha256Hex(text)) << text;
  }
}
