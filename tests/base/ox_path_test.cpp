#include "base/ox_path.h"

#include <gtest/gtest.h>

#include "base/ox_assert.h"

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
