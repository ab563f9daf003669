#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "manifest/manifest_text.h"

namespace {

const std::string kA(64, 'a');
const std::string kB(64, 'b');
const std::string kC(64, 'c');
const std::string kHeader = "farLaunch manifest 1\nrelease\t0002\nobjects\thttp://cdn.example/game/objects/\n";

std::string FileLine(const std::string& name, const std::string& rest = "3\t" + kA + "\tzstd\t9\t" + kB) {
  return "file\t" + name + "\t" + rest + "\n";
}

std::string DeltaLine(const std::string& source) { return "delta\t" + source + "\t5\t" + kC + "\n"; }

}  // namespace

TEST(ManifestText, ReadsBackWhatItWritesAndSkipsWhatItDoesNotKnow) {
  ReleaseManifest manifest{"0002", "http://cdn.example/game/objects/", {}, ""};
  manifest.files.push_back({"a\tb%c\n.txt", 3, kA, StoredForm::Raw, 3, kA, {}});
  manifest.files.push_back({"data/中文.dat", 70000, kA, StoredForm::Zstd, 12, kB, {}});
  const std::string text = ManifestText(manifest);
  EXPECT_NE(text.find("file\ta%09b%25c%0A.txt\t3\t"), std::string::npos) << text;

  ReleaseManifest read;
  std::string reason;
  ASSERT_TRUE(ParseManifest(text, read, reason)) << reason;
  EXPECT_EQ(ManifestText(read), text);
  EXPECT_EQ(read.files[0].name, "a\tb%c\n.txt");
  EXPECT_EQ(ObjectName(read.files[1].sha256), "aa/" + kA);

  // A later format's extra fields and records.
  ASSERT_TRUE(ParseManifest(kHeader + "signature\txyz\n" + FileLine("a", "3\t" + kA + "\tzstd\t9\t" + kB + "\tnew"),
                            read, reason))
      << reason;
  ASSERT_EQ(read.files.size(), 1u);
  EXPECT_EQ(read.files[0].storedSha256, kB);
}

TEST(ManifestText, ListsDeltasThatReadersOfTheFirstManifestsSkip) {
  ReleaseManifest manifest{"0003", "http://cdn.example/game/objects/", {}, "http://cdn.example/game/deltas/"};
  manifest.files.push_back({"a.pak", 9, kA, StoredForm::Zstd, 7, kA, {}});
  manifest.files.push_back({"b.pak", 9, kB, StoredForm::Zstd, 7, kB, {}});
  manifest.files[0].deltas = {{kB, 5, kC}, {kC, 6, kB}};
  const std::string text = ManifestText(manifest);
  ReleaseManifest read;
  std::string reason;
  ASSERT_TRUE(ParseManifest(text, read, reason)) << reason;
  EXPECT_EQ(ManifestText(read), text);
  EXPECT_EQ(read.deltasBase, manifest.deltasBase);
  ASSERT_EQ(read.files[0].deltas.size(), 2u);
  EXPECT_EQ(read.files[0].deltas[1].storedSize, 6u);
  EXPECT_TRUE(read.files[1].deltas.empty());
  EXPECT_EQ(DeltaName(kB, kA), kB + "-" + kA);

  // What a launcher without deltas reads: the same header and records of
  // kinds it knows, byte for byte as without the deltas.
  ReleaseManifest without = manifest;
  without.deltasBase.clear();
  for (ManifestFile& file : without.files) file.deltas.clear();
  std::string known;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end + 1 - start);
    if (line.rfind("delta", 0) != 0) known += line;
  }
  EXPECT_EQ(known, ManifestText(without));
}

TEST(ManifestText, RefusesMalformedTextWithAReason) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "empty text"},
      {"farLaunch manifest 2\n", "line 1 is not"},
      {kHeader + FileLine("a").substr(0, 20), "line 4 is cut off"},
      {"farLaunch manifest 1\nobjects\thttp://x/objects/\n", "no release record"},
      {"farLaunch manifest 1\nrelease\t1\n", "no objects record"},
      {kHeader + "release\t0003\n", "line 4: a second release record"},
      {"farLaunch manifest 1\nrelease\t1\nobjects\tfile:///etc/\n", "line 3: the objects record"},
      {kHeader + "file\ta\t3\n", "line 4: a file record with fewer than 6 fields"},
      {kHeader + FileLine("../outside"), "leaves the game directory"},
      {kHeader + FileLine("/etc/passwd"), "leaves the game directory"},
      {kHeader + FileLine("data//a"), "leaves the game directory"},
      {kHeader + FileLine("a\\b"), "leaves the game directory"},
      {kHeader + FileLine("a%00b"), "leaves the game directory"},
      {kHeader + FileLine("a%4"), "broken %-escape"},
      {kHeader + FileLine("b") + FileLine("a"), "line 5: the file name \"a\" repeats or is out of byte order"},
      {kHeader + FileLine("a") + FileLine("a"), "repeats"},
      {kHeader + FileLine("a", "-3\t" + kA + "\tzstd\t9\t" + kB), "a size is not a decimal number"},
      {kHeader + FileLine("a", "18446744073709551616\t" + kA + "\tzstd\t9\t" + kB), "a size is not a decimal"},
      {kHeader + FileLine("a", "3\t" + std::string(64, 'A') + "\tzstd\t9\t" + kB), "64 lower-case hex digits"},
      {kHeader + FileLine("a", "3\t" + kA + "\tgzip\t9\t" + kB), "\"gzip\" is neither zstd nor raw"},
      {kHeader + FileLine("a", "3\t" + kA + "\traw\t9\t" + kB), "a raw object whose stored size"},
      {kHeader + "deltas\thttp://x/deltas/\n" + DeltaLine(kB) + FileLine("a"), "before any file record"},
      {kHeader + "deltas\tdeltas/\n", "the deltas record is not"},
      {kHeader + FileLine("a") + DeltaLine(kB), "delta records without a deltas record"},
      {kHeader + "deltas\thttp://x/d/\n" + FileLine("a") + DeltaLine(kB) + DeltaLine(kB), "from one source"},
      {kHeader + "deltas\thttp://x/d/\n" + FileLine("a") + DeltaLine(kA), "from its own content"},
      {kHeader + "deltas\thttp://x/d/\n" + FileLine("a") + DeltaLine("b0"), "64 lower-case hex digits"},
      {kHeader + "deltas\thttp://x/d/\n" + FileLine("a") + "delta\t" + kB + "\n", "fewer than 3 fields"},
  };
  for (const auto& [text, expected] : cases) {
    ReleaseManifest manifest;
    std::string reason;
    EXPECT_FALSE(ParseManifest(text, manifest, reason)) << text;
    EXPECT_NE(reason.find(expected), std::string::npos) << text << "\ngave: " << reason;
  }
}
