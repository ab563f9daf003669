#include "xml/base64.h"

#include <gtest/gtest.h>

TEST(Base64, EncodesTheStandardVectorsWithPadding) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foob"), "Zm9vYg==");
  EXPECT_EQ(Base64Encode("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode("\xfb\xff\xbf"), "+/+/");
}

TEST(Base64, DecodingRoundTripsEveryByteValue) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  for (std::size_t cut = 0; cut < 3; ++cut) {
    const std::string bytes = all.substr(cut);
    const std::string text = Base64Encode(bytes);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(Base64Decode(text), bytes);
  }
}

TEST(Base64, DecodingFollowsTheGroupRules) {
  // Only whole groups of four decode; a trailing line break spoils the text.
  EXPECT_EQ(Base64Decode("Zm9v\n"), "");
  EXPECT_EQ(Base64Decode("Zm9"), "");
  // Padding shortens only at the end; inside a group "=" is zero bits.
  EXPECT_EQ(Base64Decode("Zg=="), "f");
  EXPECT_EQ(Base64Decode("Zm8="), "fo");
  EXPECT_EQ(Base64Decode("Zg==Zm9v"), std::string("f\0\0foo", 6));
  EXPECT_EQ(Base64Decode("===="), std::string(1, '\0'));
}
