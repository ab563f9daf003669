#include "base/files/ox_path.h"
#include "base/text/ox_percent_escape.h"

#include <gtest/gtest.h>

#include "base/diagnostics/ox_assert.h"

using namespace ox_base;

TEST(NativePath, WindowsSeparatorsBecomeSlashes) {
  EXPECT_EQ(NativePath(".\\client.exe"), "./client.exe");
  EXPECT_EQ(NativePath("data\\maps\\a.txt"), "data/maps/a.txt");
  EXPECT_EQ(NativePath("plain/name"), "plain/name");
}

TEST(SplitPath, DriveDirectoryNameExtension) {
  std::string drive, directory, name, extension;
  SplitPath("C:\\dir\\name.tar.gz", &drive, &directory, &name, &extension);
  EXPECT_EQ(drive, "C:");
  EXPECT_EQ(directory, "\\dir\\");
  EXPECT_EQ(name, "name.tar");
  EXPECT_EQ(extension, "gz");
  SplitPath(".profile", &drive, &directory, &name, &extension);
  EXPECT_EQ(drive + directory + extension, "");
  EXPECT_EQ(name, ".profile");
  SplitPath("dir/", &drive, &directory, &name, &extension);
  EXPECT_EQ(directory, "dir/");
  EXPECT_EQ(name + extension, "");
  SplitPath("a/b.c/readme", nullptr, &directory, &name, &extension);
  EXPECT_EQ(directory, "a/b.c/");
  EXPECT_EQ(name, "readme");
  EXPECT_EQ(extension, "");
  SplitPath("", &drive, &directory, &name, &extension);
  EXPECT_EQ(drive + directory + name + extension, "");

  SetAssertChoice(OxAssertChoice::kIgnore);
  try {
    SplitPath(nullptr, &drive, nullptr, nullptr, nullptr);
    ADD_FAILURE() << "no assertion";
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("File: 'dlls/base/ox_file' Line: "), std::string::npos);
    EXPECT_NE(std::string(error.what()).find(" \nAssert: szPath!=NULL\n"), std::string::npos);
  }
}

TEST(MakePath, JoinsPartsWithSeparatorsAndDot) {
  EXPECT_EQ(MakePath("C:", "dir", "a", "txt"), "C:dir/a.txt");
  EXPECT_EQ(MakePath("", "dir\\", "a", ""), "dir\\a");
  EXPECT_EQ(MakePath("", "", "a", "b"), "a.b");
}

TEST(IsRootPath, RootsAndOtherPaths) {
  for (const char* root : {"", "X:", "\\", "\\\\", "/", "\\\\server", "\\\\server\\share"})
    EXPECT_TRUE(IsRootPath(root)) << root;
  for (const char* other : {"a", "X:\\dir", "\\dir", "\\\\server\\share\\dir", "log"})
    EXPECT_FALSE(IsRootPath(other)) << other;
}

TEST(JoinPath, AddsBackslashOnlyWhenNeeded) {
  EXPECT_EQ(JoinPath("dir", "f"), "dir\\f");
  EXPECT_EQ(JoinPath("dir/", "f"), "dir/f");
  EXPECT_EQ(JoinPath("d", "f"), "d\\f");
  EXPECT_EQ(JoinPath(".", "f"), ".\\f");
  EXPECT_EQ(JoinPath("", "f"), "f");
}

TEST(PercentEscape, EveryByteRoundTripsAndBrokenEscapesAreRefused) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string escaped = PercentEscaped(all, " \t");
  for (const char kept : {' ', '\t', '\n', '\0', '\x7f'}) EXPECT_EQ(escaped.find(kept), std::string::npos);
  EXPECT_EQ(PercentUnescaped(escaped), all);
  EXPECT_EQ(PercentEscaped("a b%", " "), "a%20b%25");
  EXPECT_EQ(PercentUnescaped("%e4%B8%AD"), "\xe4\xb8\xad");
  for (const char* broken : {"%", "a%4", "%4g", "% 41", "%+1"}) EXPECT_EQ(PercentUnescaped(broken), std::nullopt) << broken;
}
