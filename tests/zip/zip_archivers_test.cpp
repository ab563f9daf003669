// Archives made by the real archivers extract exactly as unzip extracts them.
#include <algorithm>
#include <random>

#include "zip_test_support.h"

namespace {

class ArchiverTest : public ZipTest {
 protected:
  void SetUp() override {
    ZipTest::SetUp();
    source = base / "source";
    std::mt19937 random(7);
    std::string text;
    while (text.size() < 70000) text += "line " + std::to_string(random() % 1000) + " of the patch notes\n";
    std::string noise(40000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    fs::create_directories(source / "data" / "maps");
    fs::create_directories(source / "empty");
    WriteFile(source / "notes.txt", text);
    WriteFile(source / "data" / "maps" / "noise.bin", noise);
    WriteFile(source / "data" / "empty.txt", "");
    WriteFile(source / "run.sh", "#!/bin/sh\n");
    fs::permissions(source / "run.sh", fs::perms::owner_all, fs::perm_options::add);
    WriteFile(source / "locked.txt", "read only\n");
    fs::permissions(source / "locked.txt", fs::perms::all, fs::perm_options::remove);
    fs::permissions(source / "locked.txt", fs::perms::owner_read, fs::perm_options::add);
    // Whole seconds in the past, so the extracted times can be compared.
    for (const auto& item : fs::recursive_directory_iterator(source)) {
      Shell("touch -d @1500000000 '" + item.path().string() + "'");
    }
  }

  // Extracts `archive` with the reader into root and with unzip into a
  // directory of its own, and compares the results.
  void ExpectSameAsUnzip(const std::string& archive, const fs::path& unzipArchive) {
    const std::vector<ZipResult> results = ExtractAll(archive);
    EXPECT_EQ(std::count(results.begin(), results.end(), ZipResult::Ok),
              static_cast<long>(results.size()));
    const fs::path expected = base / "unzipped";
    ASSERT_EQ(Shell("unzip -q -o " + unzipArchive.string() + " -d " + expected.string()), 0);
    EXPECT_EQ(Tree(root), Tree(expected));
    EXPECT_EQ(Tree(root), Tree(source));
    const auto mode = [&](const char* name) { return fs::status(root / name).permissions(); };
    EXPECT_NE(mode("run.sh") & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(mode("locked.txt") & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(fs::last_write_time(root / "notes.txt"), fs::last_write_time(source / "notes.txt"));
    EXPECT_EQ(fs::last_write_time(root / "data/maps/noise.bin"),
              fs::last_write_time(source / "data/maps/noise.bin"));
  }

  fs::path source;
};

TEST_F(ArchiverTest, ZipAndBsdtarArchivesExtractLikeUnzip) {
  // Deflated and stored; bsdtar writes data descriptors and Unix modes.
  const std::string makers[] = {
      "cd " + source.string() + " && zip -qr",
      "cd " + source.string() + " && zip -qr0",
      "bsdtar --format zip --options zip:compression=deflate -C " + source.string() + " -cf",
      "bsdtar --format zip --options zip:compression=store -C " + source.string() + " -cf"};
  for (const std::string& maker : makers) {
    SCOPED_TRACE(maker);
    const fs::path archive = base / "made.zip";
    ASSERT_EQ(Shell(maker + " " + archive.string() + " ."), 0);
    ExpectSameAsUnzip(archive.string(), archive);
    fs::remove_all(base / "unzipped");
    fs::remove(archive);
    for (const auto& item : fs::directory_iterator(root)) fs::remove_all(item.path());
  }
}

TEST_F(ArchiverTest, Bzip2AndEncryptedEntriesAreRefusedWithTheirReason) {
  const fs::path bzip2 = base / "bzip2.zip";
  const fs::path locked = base / "locked.zip";
  ASSERT_EQ(Shell("cd " + source.string() + " && zip -q -Z bzip2 " + bzip2.string() + " notes.txt"), 0);
  ASSERT_EQ(Shell("cd " + source.string() + " && zip -q -P secret " + locked.string() + " notes.txt"), 0);
  const std::pair<fs::path, std::string> refusals[] = {
      {bzip2, "compression method 12 (bzip2) is not supported (patches must be stored or deflated)"},
      {locked, "the entry is encrypted (patches must be stored or deflated, without encryption)"}};
  for (const auto& [archive, problem] : refusals) {
    ZipReader reader;
    ZipEntry entry;
    ASSERT_EQ(reader.Open(archive.string()), ZipResult::Ok);
    EXPECT_EQ(reader.GetItem(0, entry), ZipResult::Corrupt);
    EXPECT_EQ(reader.Problem(), problem);
  }
}

TEST_F(ArchiverTest, ArchiveBehindASelfExtractorStubExtracts) {
  const fs::path plain = base / "plain.zip";
  ASSERT_EQ(Shell("cd " + source.string() + " && zip -qr " + plain.string() + " ."), 0);
  std::string stub(4096, 'M');
  WriteFile(base / "setup.exe", stub + ReadFile(plain));
  ExpectSameAsUnzip((base / "setup.exe").string(), plain);
}

TEST_F(ArchiverTest, CommentsUpToTheSearchLimitAreReadAndLongerOnesHideTheArchive) {
  const fs::path archive = base / "commented.zip";
  ASSERT_EQ(Shell("cd " + source.string() + " && zip -q " + archive.string() + " notes.txt"), 0);
  const std::string plain = ReadFile(archive);
  for (std::size_t length : {3000u, 65500u, 65520u}) {
    std::string commented = plain;
    commented[commented.size() - 2] = static_cast<char>(length & 0xff);
    commented[commented.size() - 1] = static_cast<char>(length >> 8);
    WriteFile(archive, commented + std::string(length, 'c'));
    ZipReader reader;
    ZipEntry count;
    if (length + 22 <= 65535) {
      ASSERT_EQ(reader.Open(archive.string()), ZipResult::Ok) << length;
      EXPECT_EQ(reader.GetItem(-1, count), ZipResult::Ok);
      EXPECT_EQ(count.index, 1);
    } else {
      EXPECT_EQ(reader.Open(archive.string()), ZipResult::ArchiveReadError) << length;
    }
  }
}

}  // namespace
