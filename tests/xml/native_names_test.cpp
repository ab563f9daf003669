// Chinese names from the code page reach the disk as the characters they
// are, on every platform: through the base file system, the INI files and
// the documents. (Runs under wine too, where a byte-by-byte widening shows
// as mojibake on disk.)
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/ini/ox_ini.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"
#include "xml/xml_file.h"

using namespace ox_base;
namespace fs = std::filesystem;

namespace {

// Every name below `dir` as UTF-8 with "/" separators, as the system lists it.
std::set<std::string> NamesOnDisk(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    names.insert(entry.path().lexically_relative(dir).generic_u8string());
  }
  return names;
}

void WriteThroughFileSystem(const std::string& path, std::string bytes) {
  OxArchivePtr out = OxBase::GetFileSystem()->OpenWrite(path, 0);
  ASSERT_TRUE(out);
  ASSERT_EQ(out->Serialize(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
  ASSERT_TRUE(out->Close());
}

std::string ReadThroughFileSystem(const std::string& path) {
  OxArchivePtr in = OxBase::GetFileSystem()->OpenRead(path, 0);
  if (!in) return "<not opened>";
  std::string bytes(static_cast<size_t>(in->GetSize()), '\0');
  in->Serialize(bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

}  // namespace

TEST(NativeNames, ChineseNamesAreCharactersOnDisk) {
  CurrentTempDir dir;
  OxFile* files = OxBase::GetFileSystem();
  const std::string folder = Gbk("存档");
  const std::string written = folder + "\\" + Gbk("中文.txt");
  const std::string renamed = folder + "\\" + Gbk("更新说明.txt");

  ASSERT_TRUE(files->MakeDirectory(folder, false));
  WriteThroughFileSystem(written, "bytes");
  std::vector<std::string> listed;
  files->FindFiles(listed, folder + "\\*.TXT", true, false);
  EXPECT_EQ(listed, std::vector<std::string>{Gbk("中文.txt")}) << "listed in the code page";
  ASSERT_TRUE(files->Move(renamed, written, false, false));
  EXPECT_EQ(ReadThroughFileSystem(renamed), "bytes");
  EXPECT_FALSE(files->Exists(written));

  OxIni settings;
  ASSERT_TRUE(settings.AddSection("download"));
  ASSERT_TRUE(settings.AddString("download", "folder", Gbk("游戏").c_str()));
  ASSERT_TRUE(settings.SaveFile(Gbk("设置.ini"), false));
  OxIni loaded;
  ASSERT_TRUE(loaded.LoadFile(Gbk("设置.ini")));
  ASSERT_NE(loaded.GetString("download", "folder"), nullptr);
  EXPECT_EQ(std::string(loaded.GetString("download", "folder")), Gbk("游戏"));

  CXMLFile document;
  ASSERT_TRUE(document.LoadText("<?xml version=\"1.0\"?>\n<GameVersion MainVersion=\"1\" SubVersion=\"0\" "
                                "FileVersion=\"2\" PackageCode=\"3\" UpdateServerAddr=\"u\" >\n</GameVersion>\n",
                                true));
  document.ReadConfig();
  ASSERT_TRUE(document.Save(folder + "\\" + Gbk("版本.xml")));
  CXMLFile reloaded;
  ASSERT_TRUE(reloaded.Load(folder + "\\" + Gbk("版本.xml"), false));
  reloaded.ReadConfig();
  EXPECT_EQ(reloaded.config.FileVersion, "2");

  EXPECT_EQ(NamesOnDisk(dir.Path()), (std::set<std::string>{u8"存档", u8"存档/更新说明.txt", u8"存档/版本.xml",
                                                             u8"设置.ini"}));
}
