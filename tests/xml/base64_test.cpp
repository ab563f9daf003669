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

TEST(Base64, LineBreaksAndBlanksBetweenCharactersAreIgnored) {
  // What the base64 tool writes: lines of 76 characters and a final break.
  std::string bytes;
  for (int i = 0; i < 200; ++i) bytes += static_cast<char>(i * 7);
  const std::string text = Base64Encode(bytes);
  std::string wrapped;
  for (std::size_t at = 0; at < text.size(); at += 76) wrapped += text.substr(at, 76) + "\n";
  EXPECT_EQ(Base64Decode(wrapped), bytes);
  EXPECT_EQ(Base64Decode("Zm9v\r\n"), "foo") << "an editor's final line break";
  EXPECT_EQ(Base64Decode(" Zm 9v\tYg =="), "foob");
  EXPECT_EQ(Base64Decode("Zg=="), "f");
  EXPECT_EQ(Base64Decode("Zm8="), "fo");
  EXPECT_EQ(Base64Decode(""), "");
}

TEST(Base64, AnythingElseIsNoBase64) {
  for (const char* text : {"Zm9", "Zm9vY", "Zm9v!", "Zg==Zm9v", "====", "Z===", "Zg=v", "Zm9v=", "Zm9vYg=",
                           "\xc3\xa9Zm9"}) {
    EXPECT_EQ(Base64Decode(text), std::nullopt) << text;
  }
}
