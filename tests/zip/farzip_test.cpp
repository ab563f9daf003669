// The farzip tool, run as a publisher would run it.
#include "zip_test_support.h"

namespace {

const std::string kFarzip = FARLAUNCH_BINARY_DIR "/tools/farzip/farzip";

TEST_F(ZipTest, FarzipListsExtractsAndReportsFailures) {
  CraftedEntry damaged{"sub\\bad.txt", "bad", 8, 0x01};
  damaged.crc = 7;
  WriteFile(base / "mixed.zip", CraftArchive({{"good.txt", "good"}, damaged}));
  WriteFile(base / "good.zip", CraftArchive({{"good.txt", "good"}}));
  std::string output;

  EXPECT_EQ(Shell(kFarzip + " l " + (base / "mixed.zip").string(), &output), 0);
  EXPECT_EQ(output, "0 4 4 80 good.txt\n1 3 " + std::to_string(RawDeflate("bad").size()) +
                        " 81 sub\\bad.txt\n");

  EXPECT_EQ(Shell(kFarzip + " x " + (base / "mixed.zip").string(), &output), 1);
  EXPECT_EQ(output, "farzip: CRC mismatch in sub\\bad.txt\n");
  EXPECT_EQ(ReadFile(root / "good.txt"), "good");

  EXPECT_EQ(Shell(kFarzip + " x " + (base / "good.zip").string(), &output), 0);
  EXPECT_EQ(output, "");
  EXPECT_EQ(Shell(kFarzip + " x " + (base / "missing.zip").string(), &output), 1);
  EXPECT_NE(output.find("Couldn't create/open file"), std::string::npos);
  EXPECT_EQ(Shell(kFarzip + " t " + (base / "good.zip").string()), 2);
  EXPECT_EQ(Shell(kFarzip), 2);
}

}  // namespace
