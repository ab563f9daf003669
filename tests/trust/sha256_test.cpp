// SHA-256 while a file arrives in pieces, checked against sha256sum; and the
// hex form a server document gives.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/random_bytes.h"
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

}  // namespace

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
