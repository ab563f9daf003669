#include "base/files/ox_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "base/diagnostics/ox_assert.h"
#include "base/files/ox_file_ansi.h"
#include "base_test_support.h"
#include "support/temp_dir.h"

using namespace ox_base;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

const std::string kOpenFailed = "OxFile: File open failed: ";

}  // namespace

TEST(OxFileFind, ExistenceTestsByNameAndWildcard) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  std::vector<std::string> list = {"stale"};
  fs->FindFiles(list, "client.exe", true, false);
  EXPECT_TRUE(list.empty()) << "the list is cleared and a missing file gives no entry";

  WriteFile("Client.EXE", "x");
  WriteFile("a1.txt", "");
  WriteFile("b22.TXT", "");
  std::filesystem::create_directories("data/Maps");
  WriteFile("data/Maps/one.map", "");
  fs->FindFiles(list, "client.exe", true, false);
  EXPECT_EQ(list, std::vector<std::string>{"Client.EXE"}) << "letter case is ignored";
  fs->FindFiles(list, ".\\client.exe", true, false);
  EXPECT_EQ(list.size(), 1u) << "Windows form";
  fs->FindFiles(list, "client.exe", false, true);
  EXPECT_TRUE(list.empty()) << "a file is not a directory";

  fs->FindFiles(list, "*.txt", true, false);
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{"a1.txt", "b22.TXT"}));
  fs->FindFiles(list, "?1.*", true, false);
  EXPECT_EQ(list, std::vector<std::string>{"a1.txt"});
  fs->FindFiles(list, "DATA\\maps\\*", true, true);
  EXPECT_EQ(list, std::vector<std::string>{"one.map"}) << "every component ignores case";
  fs->FindFiles(list, "data\\Maps\\*.MAP", true, false);
  EXPECT_EQ(list, std::vector<std::string>{"one.map"});

  fs->FindFiles(list, "*", false, true);
  EXPECT_EQ(list, std::vector<std::string>{"data"}) << "no . or ..";
  fs->ListDirectory(list, "data", true, true);
  EXPECT_EQ(list, std::vector<std::string>{"Maps"});
  fs->FindFiles(list, "nowhere\\*", true, true);
  EXPECT_TRUE(list.empty());
}

TEST(OxFileDelete, MissingFilesAndForce) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  EXPECT_TRUE(fs->Delete("missing.txt", false, false));
  EXPECT_FALSE(fs->Delete("missing.txt", true, false));
  std::filesystem::create_directory("sub");
  WriteFile("sub/locked.txt", "x");
  ::chmod("sub/locked.txt", 0444);
  EXPECT_EQ(fs->GetAttributes("sub\\locked.txt"), unsigned{OX_ATTR_READABLE});
  EXPECT_TRUE(fs->Delete("sub\\locked.txt", true, true));
  EXPECT_FALSE(fs->Exists("sub\\locked.txt"));
  EXPECT_EQ(fs->GetAttributes("sub\\locked.txt"), 0u);
}

TEST(OxFileOpen, WriteFlagsAndLogging) {
  CurrentTempDir dir;
  ox_test::BaseLogCapture capture;
  OxFile* fs = OxBase::GetFileSystem();
  WriteFile("old.txt", "keep");
  EXPECT_EQ(fs->OpenWrite("old.txt", OX_WRITE_NEW_ONLY), nullptr);
  EXPECT_EQ(ReadFile("old.txt"), "keep");
  EXPECT_TRUE(capture.Messages().empty()) << "an existing file with 0x02 is refused without a message";

  EXPECT_EQ(fs->OpenWrite("no\\such\\dir\\x.txt", 0), nullptr);
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{kOpenFailed + "no\\such\\dir\\x.txt\n"});
  EXPECT_EQ(fs->OpenWrite("no\\such\\dir\\x.txt", OX_WRITE_QUIET), nullptr);
  EXPECT_EQ(fs->OpenRead("missing.bin", OX_READ_QUIET), nullptr);
  EXPECT_EQ(capture.Messages().size(), 1u) << "quiet opens do not log";
  EXPECT_EQ(fs->OpenRead("missing.bin", 0), nullptr);
  EXPECT_EQ(capture.Messages().back(), kOpenFailed + "missing.bin\n");

  {
    OxArchivePtr append = fs->OpenWrite("old.txt", OX_WRITE_APPEND);
    ASSERT_NE(append, nullptr);
    char more[] = "+more";
    EXPECT_EQ(append->Serialize(more, 5), 5);
    EXPECT_TRUE(append->Close());
  }
  EXPECT_EQ(ReadFile("old.txt"), "keep+more");

  {
    OxArchivePtr temporary = fs->OpenWrite("scratch.tmp", OX_WRITE_TEMPORARY);
    ASSERT_NE(temporary, nullptr);
    EXPECT_TRUE(fs->Exists("scratch.tmp"));
  }
  EXPECT_FALSE(fs->Exists("scratch.tmp")) << "a temporary file is gone once closed";
}

TEST(OxFileOpen, SecondWriterIsRefusedReadersAreNot) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  OxArchivePtr first = fs->OpenWrite("shared.log", OX_WRITE_TEXT | OX_WRITE_SHARE_READ);
  ASSERT_NE(first, nullptr);
  char line[] = "first\n";
  first->Serialize(line, 6);
  first->Flush();
  EXPECT_EQ(fs->OpenWrite("shared.log", OX_WRITE_QUIET | OX_WRITE_TEXT | OX_WRITE_SHARE_READ), nullptr);
  EXPECT_EQ(ReadFile("shared.log"), "first\n") << "the refused writer did not truncate";
  OxArchivePtr reader = fs->OpenRead("shared.log", 0);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->GetSize(), 6);
  first.reset();
  EXPECT_NE(fs->OpenWrite("shared.log", 0), nullptr) << "free again once closed";
}

TEST(OxFileOpen, ReaderCountsAndReportsEnd) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  WriteFile("data.bin", "0123456789");
  int64_t opened = fs->GetFilesOpenedForReading();
  int64_t read = fs->GetBytesRead();
  OxArchivePtr reader = fs->OpenRead(".\\data.bin", 0);
  ASSERT_NE(reader, nullptr);
  EXPECT_TRUE(reader->IsLoading());
  EXPECT_EQ(reader->GetSize(), 10);
  char buffer[16] = {};
  EXPECT_EQ(reader->Serialize(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  reader->Seek(2, 1);
  EXPECT_EQ(reader->Tell(), 6);
  EXPECT_EQ(reader->Serialize(buffer, 16), 4);
  EXPECT_TRUE(reader->IsEnd());
  EXPECT_FALSE(reader->HasError()) << "a short read at the end is no error";
  EXPECT_TRUE(reader->Close());
  EXPECT_EQ(fs->GetFilesOpenedForReading(), opened + 1);
  EXPECT_EQ(fs->GetBytesRead(), read + 8);
  EXPECT_EQ(fs->GetFileSize("data.bin"), 10);
  EXPECT_EQ(fs->GetFileSize("none.bin"), -1);
  EXPECT_EQ(fs->OpenRead(".", OX_READ_QUIET), nullptr) << "a directory is no file";
}

TEST(OxFileCopy, ProgressOverwriteAndMove) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  std::string big(10000, 'b');
  WriteFile("src.bin", big);
  std::vector<float> progress;
  auto record = [&](float fraction) { progress.push_back(fraction); };
  EXPECT_TRUE(fs->Copy("dst.bin", "src.bin", false, false, record));
  EXPECT_EQ(ReadFile("dst.bin"), big);
  EXPECT_EQ(progress, (std::vector<float>{0.0f, 0.0f, 4096.0f / 10000, 8192.0f / 10000, 1.0f}));

  progress.clear();
  WriteFile("dst.bin", "old");
  EXPECT_FALSE(fs->Copy("dst.bin", "src.bin", false, false, record));
  EXPECT_EQ(ReadFile("dst.bin"), "old");
  EXPECT_EQ(progress, (std::vector<float>{0.0f, 1.0f}));
  EXPECT_FALSE(fs->Copy("dst.bin", "none.bin", true, false, nullptr));
  EXPECT_TRUE(fs->Copy("dst.bin", "src.bin", true, false, nullptr));
  EXPECT_EQ(ReadFile("dst.bin"), big);

  EXPECT_FALSE(fs->Move("gone\\moved.bin", "src.bin", false, true)) << "no directory gone";
  EXPECT_TRUE(fs->Exists("src.bin"));
  EXPECT_TRUE(fs->Move("moved.bin", "src.bin", false, true));
  EXPECT_FALSE(fs->Exists("src.bin"));
  EXPECT_EQ(ReadFile("moved.bin"), big);

  EXPECT_TRUE(fs->Move(".\\moved.bin", "moved.bin", true, true)) << "a file moved onto itself";
  EXPECT_FALSE(fs->Move("moved.bin", "moved.bin", false, true)) << "the destination exists";
  EXPECT_EQ(ReadFile("moved.bin"), big) << "stays where it is";
}

TEST(OxFileDirectories, TreesAreCreatedAndRemoved) {
  CurrentTempDir dir;
  SetAssertChoice(OxAssertChoice::kIgnore);
  OxFile* fs = OxBase::GetFileSystem();
  EXPECT_TRUE(fs->MakeDirectory("one", false));
  EXPECT_TRUE(fs->MakeDirectory("one", false)) << "an existing directory is fine";
  EXPECT_FALSE(fs->MakeDirectory("x\\y", false));
  EXPECT_TRUE(fs->MakeDirectory("x\\y\\z", true));
  EXPECT_TRUE(std::filesystem::is_directory("x/y/z"));
  EXPECT_TRUE(fs->MakeDirectory(dir.Path().string() + "/abs/olute", true)) << "the root prefix is skipped";
  WriteFile("file", "");
  EXPECT_FALSE(fs->MakeDirectory("file\\sub", true));
  EXPECT_THROW(fs->OxFile::MakeDirectory("plain", false), OxAssertError);

  WriteFile("x/a.txt", "a");
  WriteFile("x/y/b.txt", "b");
  ::chmod("x/y/b.txt", 0444);
  EXPECT_FALSE(fs->DeleteDirectory("x", true, false)) << "not empty";
  EXPECT_TRUE(fs->DeleteDirectory("x", true, true));
  EXPECT_FALSE(fs->Exists("x"));
  EXPECT_TRUE(fs->DeleteDirectory("x", false, false));
  EXPECT_FALSE(fs->DeleteDirectory("x", true, false));
}

TEST(OxFileQueries, TimesAttributesAndCurrentDirectory) {
  CurrentTempDir dir;
  OxFile* fs = OxBase::GetFileSystem();
  EXPECT_EQ(fs->GetModifyTime("none"), -1);
  EXPECT_EQ(fs->GetCreationTime("none"), -1);
  WriteFile("f", "");
  int64_t now = std::time(nullptr);
  EXPECT_LE(std::abs(fs->GetModifyTime("f") - now), 5);
  EXPECT_GT(fs->GetAccessTime("f"), 0);
  EXPECT_FALSE(fs->SetModifyTime("f", 0));
  EXPECT_TRUE(fs->SetWritable("f", 0));
  EXPECT_EQ(fs->GetAttributes("f"), unsigned{OX_ATTR_READABLE});
  EXPECT_TRUE(fs->SetWritable("f", OX_ATTR_WRITABLE));
  EXPECT_EQ(fs->GetAttributes("f"), unsigned{OX_ATTR_READABLE | OX_ATTR_WRITABLE});
  EXPECT_FALSE(fs->SetWritable("none", OX_ATTR_WRITABLE));
  std::filesystem::create_directory("inner");
  EXPECT_TRUE(fs->SetWorkingDirectory("inner"));
  // In the system's own spelling ("\" separators on Windows).
  EXPECT_EQ(std::filesystem::path(fs->GetWorkingDirectory()), dir.Path() / "inner");
  EXPECT_FALSE(fs->SetWorkingDirectory("none"));
}

TEST(OxMemoryArchive, LoadsWholeFileAndRefusesBadSeeks) {
  CurrentTempDir dir;
  ox_test::BaseLogCapture capture;
  WriteFile("m.bin", "abcdef");
  OxArchivePtr memory = OxBase::GetFileSystem()->OpenMemory("m.bin", 0);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(memory->GetSize(), 6);
  char buffer[8] = {};
  memory->Seek(2, 0);
  memory->Seek(-1, 0);
  EXPECT_TRUE(memory->HasError());
  EXPECT_EQ(memory->Tell(), 2) << "nothing moves";
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"OxMemoryArchive: overflow, size = 6, offset = -1\n"});
  memory->Seek(7, 0);
  EXPECT_EQ(memory->Tell(), 2);
  memory->Seek(1, 2);
  EXPECT_EQ(memory->Serialize(buffer, 8), 1);
  EXPECT_EQ(buffer[0], 'f');
  memory->Seek(10, 1);
  EXPECT_EQ(memory->Serialize(buffer, 8), 0) << "past the end reads nothing";
  EXPECT_FALSE(memory->Close()) << "the error flag is reported";
}

TEST(OxMemoryArchive, StoringGrowsAndBitsAreMasked) {
  OxMemoryArchive store;
  std::string text(1000, 'z');
  EXPECT_EQ(store.Serialize(text.data(), 1000), 1000);
  store.Seek(0, 0);
  char head[] = "AB";
  store.Serialize(head, 2);
  EXPECT_EQ(store.GetSize(), 1000);
  EXPECT_EQ(std::string(store.Data(), 3), "ABz");

  CurrentTempDir dir;
  WriteFile("bits.bin", "\xFF\xFF");
  OxArchivePtr load = OxBase::GetFileSystem()->OpenMemory("bits.bin", 0);
  ASSERT_NE(load, nullptr);
  unsigned char out[2] = {0, 0};
  load->SerializeBits(out, 11);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[1], 0x07) << "bits above the count are cleared";
}
