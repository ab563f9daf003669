// Which build folder names farpublish takes, and how it orders versions.
#include <gtest/gtest.h>

#include "build/build_folder_name.h"

TEST(BuildFolderName, TakesCodeAndThreeNumbers) {
  const auto name = ParseBuildFolderName("0012-2.10.007");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->packageCode, "0012");
  EXPECT_EQ(VersionText(*name), "2.10.7");
  EXPECT_TRUE(ParseBuildFolderName("rc2B-0.0.0"));
  EXPECT_EQ(ParseBuildFolderName(std::string(64, '1') + "-1.0.999999999")->file, 999999999u);

  for (const char* bad : {"", "0001", "0001-", "-1.0.1", "0001-1.0", "0001-1.0.1.2", "0001-1.0.1 ", "0001-1..1",
                          "0001-a.0.1", "00-01-1.0.1", "0 1-1.0.1", "0001-1.0.-1", "0001-1.0.1234567890",
                          "中文-1.0.1", "0001-1.0.+1"}) {
    EXPECT_FALSE(ParseBuildFolderName(bad)) << bad;
  }
  EXPECT_FALSE(ParseBuildFolderName(std::string(65, '1') + "-1.0.1"));
}

TEST(BuildFolderName, VersionsCompareAsNumbers) {
  const auto v = [](const char* name) { return *ParseBuildFolderName(name); };
  EXPECT_TRUE(VersionIsLower(v("9-1.0.9"), v("10-1.0.10")));
  EXPECT_TRUE(VersionIsLower(v("1-1.9.0"), v("1-2.0.0")));
  EXPECT_FALSE(VersionIsLower(v("1-1.0.1"), v("2-1.0.1")));
  EXPECT_FALSE(VersionIsLower(v("1-1.0.2"), v("2-1.0.1")));
}
