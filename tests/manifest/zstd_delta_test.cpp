#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "manifest/zstd_delta.h"
#include "manifest/zstd_delta_decoder.h"

namespace {

// Incompressible bytes, so that only the source can make the delta small.
std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// A zstd frame header asking for a 2^log window, then an empty last block.
std::string EmptyFrameWithWindowLog(int log) {
  return std::string("\x28\xB5\x2F\xFD\x00", 5) + static_cast<char>((log - 10) << 3) + std::string("\x01\x00\x00", 3);
}

// A frame whose header declares 29 bytes of content but whose one block is
// empty, and a frame of zstd's legacy format 0.7.
const std::string kFrameShortOfItsSize("\x28\xB5\x2F\xFD\x20\x1D\x01\x00\x00", 9);
const std::string kLegacyFrame("\x27\xB5\x2F\xFD\x84\x63\x00\x00\x00\x00\x00\x00\x00", 13);
// A header whose window is larger than any zstd decodes; libzstd's
// streaming decoder let it through when it arrived in pieces of 4 bytes.
const std::string kImpossibleWindow(
    "\x28\xB5\x2F\xFD\xD6\xFF\xFF\xFF\x00\x00\x00\x00\x26\xB5\x2F\xFD\x50\xFF\xFF\xFF\xFB", 21);

}  // namespace

TEST(ZstdDelta, TurnsTheSourceIntoTheTargetAndNothingElse) {
  const std::string source = RandomBytes(600000, 1);
  std::string target = source;
  target.replace(1000, 50, RandomBytes(50, 2));
  target.insert(300000, RandomBytes(2000, 3));
  target.erase(500000, 4000);
  std::string delta;
  std::string reason;
  ASSERT_TRUE(MakeZstdDelta(source, target, delta, reason)) << reason;
  EXPECT_LT(delta.size(), 3000u);

  std::string made;
  ASSERT_TRUE(ApplyZstdDelta(source, delta, target.size(), made, reason)) << reason;
  EXPECT_EQ(made, target);
  // In pieces, as a download arrives: what is decoded stays in place and
  // only grows.
  ZstdDeltaDecoder decoder(source, target.size());
  const char* const result = decoder.Decoded().data();
  for (std::size_t at = 0; at < delta.size(); at += 100) {
    ASSERT_TRUE(decoder.Read(std::string_view(delta).substr(at, 100), reason)) << reason;
    ASSERT_EQ(decoder.Decoded().data(), result);
    ASSERT_EQ(decoder.Decoded(), std::string_view(target).substr(0, decoder.Decoded().size()));
  }
  EXPECT_TRUE(decoder.Finish(reason));
  EXPECT_EQ(decoder.Decoded(), target);
  EXPECT_FALSE(decoder.Read("x", reason));
  EXPECT_EQ(reason, "bytes after the end of the zstd frame");

  // Against another source it cannot make the target.
  const bool applied = ApplyZstdDelta(RandomBytes(source.size(), 9), delta, target.size(), made, reason);
  EXPECT_TRUE(!applied || made != target);
  EXPECT_FALSE(ApplyZstdDelta(source, delta, target.size() - 1, made, reason));
  EXPECT_NE(reason.find("holds more than"), std::string::npos) << reason;
  EXPECT_FALSE(ApplyZstdDelta(source, delta.substr(0, delta.size() / 2), target.size(), made, reason));
  EXPECT_EQ(reason, "the zstd frame is cut off");
  EXPECT_FALSE(ApplyZstdDelta(source, RandomBytes(delta.size(), 4), target.size(), made, reason));
  EXPECT_NE(reason.find("zstd: "), std::string::npos) << reason;
}

TEST(ZstdDelta, WindowsAboveTheSharedLimitAreRefused) {
  std::string made;
  std::string reason;
  EXPECT_TRUE(ApplyZstdDelta("", EmptyFrameWithWindowLog(kDeltaWindowLog), 0, made, reason)) << reason;
  EXPECT_FALSE(ApplyZstdDelta("", EmptyFrameWithWindowLog(kDeltaWindowLog + 1), 0, made, reason));
  EXPECT_NE(reason.find("zstd: "), std::string::npos) << reason;
  // The result is held whole: no more than the largest file a delta is made for.
  EXPECT_FALSE(ApplyZstdDelta("", EmptyFrameWithWindowLog(kDeltaWindowLog), kLargestDeltaFile + 1, made, reason));
  EXPECT_NE(reason.find("above the window limit"), std::string::npos) << reason;

  const std::string small = "small";
  std::string delta;
  EXPECT_FALSE(MakeZstdDelta(small, std::string_view(small.data(), kLargestDeltaFile + 1), delta, reason));
  EXPECT_NE(reason.find("window above"), std::string::npos) << reason;
}

// A frame decodes to the same whole or in pieces: here one whose compressed
// block holds no bytes, which libzstd's one-pass decoding alone refused.
TEST(ZstdDelta, AFrameDecodesTheSameWholeOrInPieces) {
  const std::string emptyBlock("\x28\xb5\x2f\xfd\x20\x00\x05\x00\x00", 9);
  std::string whole;
  std::string reason;
  const bool applied = ApplyZstdDelta("", emptyBlock, 100, whole, reason);
  ZstdDeltaDecoder decoder("", 100);
  bool read = true;
  for (std::size_t at = 0; at < emptyBlock.size(); at += 2) {
    read = read && decoder.Read(std::string_view(emptyBlock).substr(at, 2), reason);
  }
  EXPECT_EQ(read && decoder.Finish(reason), applied) << reason;
  EXPECT_EQ(decoder.Decoded(), whole);
}

TEST(ZstdDelta, FramesThatOnlyWholeDecodingWouldCheckAreRefusedInPiecesToo) {
  const std::pair<std::string, std::string> cases[] = {
      {kFrameShortOfItsSize, "the zstd frame declares 29 bytes and holds 0"},
      {kLegacyFrame, "zstd: Unknown frame descriptor"},
      {kImpossibleWindow, "zstd: Frame requires too much memory for decoding"}};
  for (const auto& [frame, why] : cases) {
    std::string made;
    std::string reason;
    EXPECT_FALSE(ApplyZstdDelta("", frame, 100, made, reason));
    for (const std::size_t step : {1, 4}) {
      ZstdDeltaDecoder decoder("", 100);
      bool read = true;
      for (std::size_t at = 0; read && at < frame.size(); at += step) {
        read = decoder.Read(std::string_view(frame).substr(at, step), reason);
      }
      EXPECT_FALSE(read && decoder.Finish(reason)) << step;
      EXPECT_EQ(reason, why) << step;
    }
  }
}
