#include "base/text/ox_unicode.h"

#include <gtest/gtest.h>

using ox_base::CodePageToUtf8;
using ox_base::Utf8ToCodePage;

TEST(CodePageConversion, GbkRoundTripsChineseText) {
  const std::string utf8 = "\xE6\x9B\xB4\xE6\x96\xB0\xE5\xAE\x8C\xE6\x88\x90";  // 更新完成
  const std::string gbk = Utf8ToCodePage(utf8, 936);
  EXPECT_EQ(gbk, "\xB8\xFC\xD0\xC2\xCD\xEA\xB3\xC9");
  EXPECT_EQ(CodePageToUtf8(gbk, 936), utf8);
}

TEST(CodePageConversion, AsciiPassesUnchanged) {
  EXPECT_EQ(Utf8ToCodePage("client.exe 37%", 936), "client.exe 37%");
  EXPECT_EQ(CodePageToUtf8("", 936), "");
}

TEST(CodePageConversion, BrokenBytesBecomeQuestionMarksWithoutLosingTheRest) {
  // A GBK lead byte followed by a byte that cannot trail it.
  EXPECT_EQ(CodePageToUtf8("a\x81 b", 936), "a? b");
  EXPECT_EQ(CodePageToUtf8("a\xFF", 936), "a?");
  EXPECT_EQ(Utf8ToCodePage("x\xC3", 936), "x?");
}
