// The reader on hand-made archives: the directory walk, refusals, damage,
// attributes, times and progress.
#include "zip_test_support.h"

namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

std::int64_t FileTime(std::int64_t unixSeconds) {
  return (unixSeconds + kSecondsFrom1601To1970) * 10000000;
}

std::string Le32(std::uint32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
  return out;
}

// A "UT" extra block with the given flags and Unix times.
std::string UtBlock(char flags, const std::vector<std::uint32_t>& times, std::uint16_t size) {
  std::string block = std::string("UT") + static_cast<char>(size) + '\0' + flags;
  for (std::uint32_t time : times) block += Le32(time);
  return block;
}

std::string Pattern(std::size_t size) {
  std::string content(size, '\0');
  for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>((i * 7919) >> 5);
  return content;
}

class ReaderTest : public ZipTest {
 protected:
  void OpenCrafted(const std::string& bytes) {
    WriteFile(base / "crafted.zip", bytes);
    ASSERT_EQ(reader.Open((base / "crafted.zip").string()), ZipResult::Ok);
  }
  ZipResult Extract(std::int32_t index, const std::string& target) {
    return reader.ExtractItem(index, target, extractedBytes, cancelInstall);
  }
  // The last-write time `touch` gives for a Unix time, to compare against.
  fs::file_time_type TouchedAt(std::int64_t unixSeconds) {
    const fs::path reference = base / "reference";
    WriteFile(reference, "");
    Shell("touch -d @" + std::to_string(unixSeconds) + " " + reference.string());
    return fs::last_write_time(reference);
  }

  ZipReader reader;
};

TEST_F(ReaderTest, CountWalkCacheAndBadArguments) {
  ZipEntry entry;
  entry.name = "untouched";
  EXPECT_EQ(reader.GetItem(-1, entry), ZipResult::BadArguments);
  EXPECT_EQ(Extract(0, "x"), ZipResult::BadArguments);
  EXPECT_EQ(reader.Close(), ZipResult::BadArguments);
  EXPECT_EQ(entry.name, "untouched");

  OpenCrafted(CraftArchive({{"a", "1"}, {"b", "22", 8}, {"c", "333"}}));
  ASSERT_EQ(reader.GetItem(-1, entry), ZipResult::Ok);
  EXPECT_EQ(entry.index, 3);
  EXPECT_EQ(entry.name, "");
  EXPECT_EQ(entry.uncompressedSize, 0);
  for (std::int32_t index : {2, 0, 1, 1}) {
    ASSERT_EQ(reader.GetItem(index, entry), ZipResult::Ok);
    EXPECT_EQ(entry.index, index);
    EXPECT_EQ(entry.name, std::string(1, static_cast<char>('a' + index)));
    EXPECT_EQ(entry.uncompressedSize, index + 1);
  }
  entry.name = "untouched";
  EXPECT_EQ(reader.GetItem(3, entry), ZipResult::BadArguments);
  EXPECT_EQ(reader.GetItem(-2, entry), ZipResult::BadArguments);
  EXPECT_EQ(Extract(-1, "x"), ZipResult::BadArguments);
  EXPECT_EQ(entry.name, "untouched");
  EXPECT_EQ(reader.Close(), ZipResult::Ok);
  EXPECT_EQ(reader.GetItem(0, entry), ZipResult::BadArguments);
}

TEST_F(ReaderTest, OpenRefusesWhatIsNoUsableArchive) {
  EXPECT_EQ(reader.Open((base / "missing.zip").string()), ZipResult::CannotOpenFile);
  WriteFile(base / "empty.zip", "");
  EXPECT_EQ(reader.Open((base / "empty.zip").string()), ZipResult::ArchiveReadError);
  WriteFile(base / "text.zip", std::string(100000, 't'));
  EXPECT_EQ(reader.Open((base / "text.zip").string()), ZipResult::ArchiveReadError);

  const std::string good = CraftArchive({{"a", "1"}});
  std::string spanned = good;
  spanned[good.size() - 22 + 4] = 1;  // number of this disk
  WriteFile(base / "spanned.zip", spanned);
  EXPECT_EQ(reader.Open((base / "spanned.zip").string()), ZipResult::BadArchive);
  std::string overlong = good;
  overlong.replace(good.size() - 22 + 12, 4, Le32(1000));  // directory size
  WriteFile(base / "overlong.zip", overlong);
  EXPECT_EQ(reader.Open((base / "overlong.zip").string()), ZipResult::BadArchive);

  // Every code says what went wrong; only a number that is no code is
  // named by its number.
  EXPECT_EQ(ZipResultText(ZipResult::BadArchive),
            "Zipfile spans several volumes, or its directory does not fit before its end record");
  EXPECT_EQ(ZipResultText(ZipResult::ArchiveReadError),
            "The end of the zip directory cannot be found or read: not a zipfile, cut short or unreadable");
  EXPECT_EQ(ZipResultText(ZipResult::CannotOpenFile), "Couldn't create/open file");
  EXPECT_EQ(ZipResultText(static_cast<ZipResult>(-5)), "unknown zip result code -5");
}

TEST_F(ReaderTest, OtherMethodsAndEncryptionAreNamedWithWhatPatchesNeed) {
  std::vector<CraftedEntry> entries;
  for (std::uint16_t method : {9, 12, 14, 93, 95, 99, 77}) entries.push_back({"m" + std::to_string(method), "data", method});
  entries.push_back({"secret", "data", 8});
  entries.back().flags = 0x01;
  OpenCrafted(CraftArchive(entries));
  const char* const methods[] = {"9 (deflate64)", "12 (bzip2)", "14 (lzma)", "93 (zstd)", "95 (xz)", "99 (AES)", "77"};
  ZipEntry entry;
  for (std::int32_t index = 0; index < 7; ++index) {
    EXPECT_EQ(reader.GetItem(index, entry), ZipResult::Corrupt);
    EXPECT_EQ(reader.Problem(), std::string("compression method ") + methods[index] +
                                    " is not supported (patches must be stored or deflated)");
  }
  const std::string encrypted = "the entry is encrypted (patches must be stored or deflated, without encryption)";
  EXPECT_EQ(reader.GetItem(7, entry), ZipResult::Corrupt);
  EXPECT_EQ(reader.Problem(), encrypted);
  EXPECT_EQ(Extract(7, "secret"), ZipResult::Corrupt);
  EXPECT_EQ(reader.Problem(), encrypted);
  EXPECT_EQ(reader.TestItem(2), ZipResult::Corrupt);
  EXPECT_EQ(reader.Problem(), "compression method 14 (lzma) is not supported (patches must be stored or deflated)");
  EXPECT_TRUE(fs::is_empty(root));
}

TEST_F(ReaderTest, HeadersThatDisagreeAreCorrupt) {
  std::string bytes = CraftArchive({{"a", "1"}, {"b", "2"}, {"c", "3", 12}});
  bytes[bytes.find("PK\x01\x02", bytes.find("PK\x01\x02") + 1) + 3] = 9;  // entry b's central signature
  OpenCrafted(bytes);
  ZipEntry entry;
  EXPECT_EQ(reader.GetItem(1, entry), ZipResult::Corrupt);
  EXPECT_EQ(reader.GetItem(0, entry), ZipResult::Ok);
  EXPECT_EQ(reader.GetItem(2, entry), ZipResult::Corrupt);

  bytes = CraftArchive({{"name", "x"}, {"m", "bzip2 data", 12}});
  bytes[26] = 5;  // the local name length
  OpenCrafted(bytes);
  EXPECT_EQ(reader.GetItem(0, entry), ZipResult::Corrupt);
  EXPECT_EQ(reader.Problem(), "the local header does not match the directory");
  EXPECT_EQ(Extract(1, "m"), ZipResult::Corrupt);
  EXPECT_EQ(reader.TestItem(1), ZipResult::Corrupt);
  EXPECT_TRUE(fs::is_empty(root));
}

TEST_F(ReaderTest, DamagedDataIsReportedNotInstalled) {
  const std::string content = Pattern(50000);
  const std::string deflated = RawDeflate(content);
  std::vector<CraftedEntry> entries = {{"stored-crc", content},     {"deflated-crc", content, 8},
                                       {"truncated", content, 8},   {"garbage", content, 8},
                                       {"short-stored", content},   {"intact", content, 8}};
  entries[0].crc = entries[1].crc = 1234;
  entries[2].data = deflated.substr(0, deflated.size() / 2);
  entries[3].data = std::string(500, '\xff');
  entries[4].data = content.substr(0, 30000);
  OpenCrafted(CraftArchive(entries));
  const char* const problems[] = {"CRC mismatch", "CRC mismatch", "the compressed data ends early",
                                  "damaged compressed data", "the stored data ends early"};
  // Testing an entry finds what extracting it finds, and writes nothing.
  for (std::int32_t index = 0; index < 5; ++index) {
    EXPECT_EQ(reader.TestItem(index), ZipResult::Corrupt) << index;
    EXPECT_EQ(reader.Problem(), problems[index]) << index;
  }
  EXPECT_EQ(reader.TestItem(5), ZipResult::Ok);
  EXPECT_TRUE(fs::is_empty(root));
  for (std::int32_t index = 0; index < 5; ++index) {
    EXPECT_EQ(Extract(index, "out" + std::to_string(index)), ZipResult::Corrupt) << index;
    EXPECT_EQ(reader.Problem(), problems[index]) << index;
  }
  EXPECT_EQ(Extract(5, "intact"), ZipResult::Ok);
  EXPECT_EQ(reader.Problem(), "");
  EXPECT_EQ(ReadFile(root / "intact"), content);
}

TEST_F(ReaderTest, SizesBetweenTwoAndFourGibibytesStayPositive) {
  // The directory claims sizes no data backs: describing needs none.
  std::vector<CraftedEntry> entries = {{"huge.pak", "x"}, {"big.pak", "y"}};
  entries[0].size = 0xFFFFFFF0u;
  entries[1].size = 0x80000000u;
  OpenCrafted(CraftArchive(entries));
  ZipEntry entry;
  ASSERT_EQ(reader.GetItem(0, entry), ZipResult::Ok);
  EXPECT_EQ(entry.uncompressedSize, 0xFFFFFFF0LL);
  ASSERT_EQ(reader.GetItem(1, entry), ZipResult::Ok);
  EXPECT_EQ(entry.uncompressedSize, 0x80000000LL);
  // Counting goes on past 4 GiB.
  extractedBytes = 0xFFFFFFFFLL;
  EXPECT_EQ(Extract(1, "big.pak"), ZipResult::Corrupt);
  EXPECT_EQ(extractedBytes.load(), 0xFFFFFFFFLL + 16384);
}

TEST_F(ReaderTest, AFullDiskIsNamed) {
  OpenCrafted(CraftArchive({{"big", Pattern(40000), 8}}));
  // The reader replaces a link at the target, so write through a folder
  // link instead.
  fs::create_directory_symlink("/dev", root / "dev");
  EXPECT_EQ(Extract(0, "dev/full"), ZipResult::WriteError);
  EXPECT_EQ(reader.Problem(), "No space left on device");
}

TEST_F(ReaderTest, NamesLeavingTheGameDirectoryAreRefused) {
  const std::string absolute = (base / "absolute.txt").string();
  OpenCrafted(CraftArchive({{"../escaped.txt", "x"},
                            {absolute, "x"},
                            {"C:\\escaped.txt", "x"},
                            {"sub\\..\\..\\escaped.txt", "x"},
                            {"../escaped-dir/", "", 0, 0x10},
                            {"fine.txt", "x"}}));
  ZipEntry entry;
  for (std::int32_t index = 0; index < 5; ++index) {
    ASSERT_EQ(reader.GetItem(index, entry), ZipResult::Ok);
    EXPECT_EQ(reader.TestItem(index), ZipResult::CannotOpenFile) << entry.name;
    EXPECT_EQ(Extract(index, entry.name), ZipResult::CannotOpenFile) << entry.name;
  }
  EXPECT_EQ(reader.TestItem(5), ZipResult::Ok);
  EXPECT_EQ(Extract(5, "../fine.txt"), ZipResult::CannotOpenFile);
  EXPECT_TRUE(fs::is_empty(root));
  EXPECT_EQ(Tree(base).size(), 2u);  // root and the archive

  // A link planted at the target is replaced, not written through.
  WriteFile(base / "outside.txt", "outside");
  fs::create_symlink(base / "outside.txt", root / "fine.txt");
  EXPECT_EQ(Extract(5, "fine.txt"), ZipResult::Ok);
  EXPECT_EQ(ReadFile(base / "outside.txt"), "outside");
  EXPECT_FALSE(fs::is_symlink(root / "fine.txt"));
}

TEST_F(ReaderTest, SeparatorsOfBothKindsMakeDirectoriesLikeUnzip) {
  OpenCrafted(CraftArchive({{"data\\maps\\", "", 0, 0x10},
                            {"a\\b\\c.txt", "abc", 8},
                            {"x/y.txt", "xy"},
                            {"data\\maps\\m.dat", "map"},
                            {"bare\\", ""}}));
  ZipEntry entry;
  for (std::int32_t index = 0; index < 5; ++index) {
    ASSERT_EQ(reader.GetItem(index, entry), ZipResult::Ok);
    EXPECT_EQ(Extract(index, entry.name), ZipResult::Ok) << entry.name;
  }
  const std::map<std::string, std::string> expected = {
      {"a", "<dir>"}, {"a/b", "<dir>"}, {"bare", "<dir>"}, {"a/b/c.txt", "abc"}, {"data", "<dir>"},
      {"data/maps", "<dir>"}, {"data/maps/m.dat", "map"}, {"x", "<dir>"}, {"x/y.txt", "xy"}};
  EXPECT_EQ(Tree(root), expected);
  Shell("unzip -q -o " + (base / "crafted.zip").string() + " -d " + (base / "unzipped").string());
  EXPECT_EQ(Tree(base / "unzipped"), expected);
}

TEST_F(ReaderTest, AttributesBecomePermissions) {
  const std::uint16_t madeOnUnix = 0x0314;
  OpenCrafted(CraftArchive({{"readonly.txt", "r", 0, 0x01},
                            {"dirbit", "", 0, 0x10},
                            {"flags.txt", "f", 0, 0x26},
                            {"tool", "#!/bin/sh\n", 0, 0100755u << 16, madeOnUnix},
                            {"private.txt", "p", 0, (0100640u << 16) | 0x01, madeOnUnix}}));
  const std::uint32_t attributes[] = {0x81, 0x90, 0xA6, 0x80, 0x81};
  ZipEntry entry;
  for (std::int32_t index = 0; index < 5; ++index) {
    ASSERT_EQ(reader.GetItem(index, entry), ZipResult::Ok);
    EXPECT_EQ(entry.attributes, attributes[index]) << entry.name;
    EXPECT_EQ(Extract(index, entry.name), ZipResult::Ok) << entry.name;
  }
  const auto mode = [&](const char* name) { return fs::status(root / name).permissions(); };
  using fs::perms;
  EXPECT_EQ(mode("readonly.txt") & (perms::owner_write | perms::group_write | perms::others_write),
            perms::none);
  EXPECT_TRUE(fs::is_directory(root / "dirbit"));
  EXPECT_EQ(mode("tool"), static_cast<perms>(0755));
  EXPECT_EQ(mode("private.txt"), static_cast<perms>(0440));
  // A read-only file from an earlier extraction is replaced.
  EXPECT_EQ(Extract(0, "readonly.txt"), ZipResult::Ok);
  EXPECT_EQ(ReadFile(root / "readonly.txt"), "r");
}

TEST_F(ReaderTest, TimesComeFromTheDosStampAndTheUtBlock) {
  const std::uint32_t dosStamp = 0x14221883;  // 1990-01-02 03:04:06, read in TZ=UTC
  const std::int64_t dosTime = 631249446;
  const std::string otherBlock = std::string("xy\x02\x00", 4) + "zz";
  OpenCrafted(CraftArchive({
      {"dos.txt", "d", 0, 0, 20, dosStamp},
      {"ut.txt", "u", 0, 0, 20, dosStamp, otherBlock + UtBlock(1, {1234567890}, 5)},
      {"ut-all.txt", "a", 0, 0, 20, dosStamp, UtBlock(7, {1000000001, 1000000002, 1000000003}, 13)},
      {"ut-short.txt", "s", 0, 0, 20, dosStamp, UtBlock(7, {1000000001}, 5)},
  }));
  ZipEntry entry;
  ASSERT_EQ(reader.GetItem(0, entry), ZipResult::Ok);
  EXPECT_EQ(entry.modificationTime, FileTime(dosTime));
  EXPECT_EQ(entry.accessTime, FileTime(dosTime));
  EXPECT_EQ(entry.creationTime, FileTime(dosTime));
  ASSERT_EQ(reader.GetItem(1, entry), ZipResult::Ok);
  EXPECT_EQ(entry.modificationTime, FileTime(1234567890));
  EXPECT_EQ(entry.accessTime, FileTime(dosTime));
  ASSERT_EQ(reader.GetItem(2, entry), ZipResult::Ok);
  EXPECT_EQ(entry.modificationTime, FileTime(1000000001));
  EXPECT_EQ(entry.accessTime, FileTime(1000000002));
  EXPECT_EQ(entry.creationTime, FileTime(1000000003));
  ASSERT_EQ(reader.GetItem(3, entry), ZipResult::Ok);
  EXPECT_EQ(entry.modificationTime, FileTime(1000000001));
  EXPECT_EQ(entry.accessTime, FileTime(dosTime));

  ASSERT_EQ(Extract(0, "dos.txt"), ZipResult::Ok);
  ASSERT_EQ(Extract(1, "ut.txt"), ZipResult::Ok);
  EXPECT_EQ(fs::last_write_time(root / "dos.txt"), TouchedAt(dosTime));
  EXPECT_EQ(fs::last_write_time(root / "ut.txt"), TouchedAt(1234567890));
}

TEST_F(ReaderTest, ProgressCountsEveryChunkAndCancellationStops) {
  OpenCrafted(CraftArchive({{"big", Pattern(40000), 8}, {"empty", ""}, {"stopped", Pattern(40000)}}));
  extractedBytes = 100;
  ASSERT_EQ(Extract(0, "big"), ZipResult::Ok);
  EXPECT_EQ(extractedBytes.load(), 100 + 65536);  // three chunks and the final empty read
  ASSERT_EQ(Extract(1, "empty"), ZipResult::Ok);
  EXPECT_EQ(extractedBytes.load(), 100 + 65536 + 16384);
  cancelInstall = true;
  EXPECT_EQ(Extract(2, "stopped"), ZipResult::Cancelled);
  EXPECT_EQ(extractedBytes.load(), 100 + 65536 + 16384);
  EXPECT_TRUE(fs::exists(root / "stopped"));
  EXPECT_EQ(fs::file_size(root / "stopped"), 0u);
}

}  // namespace
