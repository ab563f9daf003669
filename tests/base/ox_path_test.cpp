#include "base/ox_path.h"

#include <gtest/gtest.h>

TEST(NativePath, WindowsSeparatorsBecomeSlashes) {
  EXPECT_EQ(ox_base::NativePath(".\\client.exe"), "./client.exe");
  EXPECT_EQ(ox_base::NativePath("data\\maps\\a.txt"), "data/maps/a.txt");
  EXPECT_EQ(ox_base::NativePath("plain/name"), "plain/name");
}
