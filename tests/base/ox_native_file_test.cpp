// The files the unpacker writes and the downloader reads back, by native
// name, as each platform's own calls make them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/files/ox_file_handle.h"
#include "base/files/ox_large_file.h"
#include "base/files/ox_output_file.h"
#include "base/files/ox_path.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"

using namespace ox_base;

TEST(OutputFile, ReplacesAReadOnlyFileAndSetsTimeAndReadOnly) {
  CurrentTempDir dir;
  OxFile* files = OxBase::GetFileSystem();
  const std::string name = Gbk("中文.bin");
  WriteFile(std::filesystem::u8path(u8"中文.bin"), "old content");
  ASSERT_TRUE(files->SetWritable(name, 0));

  std::string problem;
  OutputFile out = OutputFile::Create(NativePath(name), problem);
  ASSERT_TRUE(out) << problem;
  ASSERT_TRUE(out.Write("new", 3, problem)) << problem;
  out.SetLastWriteTime(1000000000);
  out.RemoveWritePermission();
  ASSERT_TRUE(out.Close(problem)) << problem;
  EXPECT_FALSE(out.Close(problem)) << "closed once";

  EXPECT_EQ(ReadFile(std::filesystem::u8path(u8"中文.bin")), "new");
  EXPECT_EQ(files->GetModifyTime(name), 1000000000);
  EXPECT_EQ(files->GetAttributes(name), unsigned{OX_ATTR_READABLE});

  std::filesystem::create_directory("folder");
  problem.clear();
  EXPECT_FALSE(OutputFile::Create(NativePath("folder"), problem)) << "a folder in the way fails";
  EXPECT_FALSE(problem.empty());
  EXPECT_TRUE(std::filesystem::is_directory("folder"));
}

TEST(FileHandle, ReadsAtAPositionWithoutReadingAhead) {
  CurrentTempDir dir;
  WriteFile(std::filesystem::u8path(u8"下载.part"), "0123456789");
  FileHandle file = FileHandle::Open(NativePath(Gbk("下载.part")), "rb");
  ASSERT_TRUE(file);
  char bytes[8] = {};
  EXPECT_EQ(file.ReadAt(3, bytes, 4), 4u);
  EXPECT_EQ(std::string(bytes, 4), "3456");
  EXPECT_EQ(file.ReadAt(8, bytes, 8), 2u) << "fewer at the end";
  EXPECT_EQ(std::string(bytes, 2), "89");
  EXPECT_EQ(file.ReadAt(0, bytes, 2), 2u);
  EXPECT_EQ(std::string(bytes, 2), "01");
  EXPECT_FALSE(FileHandle::Open(NativePath("missing.part"), "rb"));
}

TEST(LargeFile, IsReadWholeUpToItsBound) {
  CurrentTempDir dir;
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); i += 4093) bytes[i] = static_cast<char>(i);
  bytes += "end";
  WriteFile(std::filesystem::u8path(u8"源.pak"), bytes);
  const std::string name = NativePath(Gbk("源.pak"));
  FileBytes read;
  ASSERT_TRUE(ReadLargeFile(name, bytes.size(), read));
  EXPECT_EQ(read.View(), bytes);
  EXPECT_FALSE(ReadLargeFile(name, bytes.size() - 1, read)) << "a byte above the bound";

  WriteFile("empty.pak", "");
  EXPECT_TRUE(ReadLargeFile(NativePath("empty.pak"), 0, read));
  EXPECT_EQ(read.View(), "");
  EXPECT_FALSE(ReadLargeFile(NativePath("missing.pak"), 100, read));
  std::filesystem::create_directory("folder");
  EXPECT_FALSE(ReadLargeFile(NativePath("folder"), 100, read));
}
