// Applying a downloaded delta: the result reaches the caller's sink in
// order, on the caller's thread, in pieces a writer takes at once, and is
// checked against the record before it counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "manifest/zstd_delta.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"
#include "trust/tampering.h"
#include "update/site/object_content.h"

TEST(DecodeDelta, HandsOnTheCheckedResultInPiecesOnTheCallersThread) {
  TempDir dir;
  std::mt19937 random(29);
  // Long runs of the source: a few bytes of the delta decode to MiBs.
  const std::string source = RandomBytes(random, 6 << 20);
  std::string target = source;
  target.replace(1 << 20, 100, RandomBytes(random, 100));
  target.insert(4 << 20, RandomBytes(random, 70000));
  std::string delta;
  std::string problem;
  ASSERT_TRUE(MakeZstdDelta(source, target, delta, problem)) << problem;
  const std::string stored = dir.Write("delta", delta);
  ManifestFile record;
  record.size = target.size();
  record.sha256 = Sha256Of(target);

  std::string made;
  std::size_t largest = 0;
  bool onCaller = true;
  const std::thread::id caller = std::this_thread::get_id();
  ASSERT_TRUE(DecodeDelta(stored, record, source,
                          [&](std::string_view piece) {
                            made.append(piece);
                            largest = std::max(largest, piece.size());
                            onCaller = onCaller && std::this_thread::get_id() == caller;
                          },
                          problem))
      << problem;
  EXPECT_EQ(made, target);
  EXPECT_LE(largest, std::size_t{1} << 20);
  EXPECT_TRUE(onCaller);

  const auto fails = [&](const ManifestFile& expected, const std::string& file) {
    problem.clear();
    return !DecodeDelta(file, expected, source, [](std::string_view) {}, problem);
  };
  ManifestFile other = record;
  other.sha256 = Sha256Of(source);
  EXPECT_TRUE(fails(other, stored));
  EXPECT_EQ(problem, "decodes to content other than the manifest gives (" + std::to_string(target.size()) + " bytes)");
  other = record;
  other.size = target.size() + 1;
  EXPECT_TRUE(fails(other, stored));
  EXPECT_NE(problem.find("decodes to content other than"), std::string::npos) << problem;
  other.size = target.size() - 1;
  EXPECT_TRUE(fails(other, stored));
  EXPECT_NE(problem.find("holds more than"), std::string::npos) << problem;
  other.size = kLargestDeltaFile + 1;
  EXPECT_TRUE(fails(other, stored));
  EXPECT_NE(problem.find("above the window limit"), std::string::npos) << problem;
  EXPECT_TRUE(fails(record, dir.Write("cut", delta.substr(0, delta.size() - 1))));
  EXPECT_EQ(problem, "the zstd frame is cut off");
  EXPECT_TRUE(fails(record, dir.File("missing")));
  EXPECT_EQ(problem, "the delta cannot be read");
}
