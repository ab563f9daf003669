#include <gtest/gtest.h>

#include <string>

#include "manifest/zstd_frames.h"

TEST(ZstdFrames, DecodesOneBoundedFrameAndNothingElse) {
  std::string content;
  for (int i = 0; i < 200000; ++i) content += static_cast<char>('a' + i % 7 * (i % 13));
  std::string frame;
  std::string reason;
  ZstdFrameWriter writer(3, content.size());
  ASSERT_TRUE(writer.Write(content.substr(0, 1000), frame, reason)) << reason;
  ASSERT_TRUE(writer.Write(content.substr(1000), frame, reason)) << reason;
  ASSERT_TRUE(writer.Finish(frame, reason)) << reason;
  EXPECT_EQ(frame, EncodeZstdFrame(content, 3)) << "streamed or whole, the same frame";
  EXPECT_LT(frame.size(), content.size());

  std::string decoded;
  ASSERT_TRUE(DecodeZstdFrame(frame, content.size(), decoded, reason)) << reason;
  EXPECT_EQ(decoded, content);
  // Byte by byte, as a download arrives.
  ZstdFrameReader reader(content.size());
  decoded.clear();
  for (const char byte : frame) {
    ASSERT_TRUE(reader.Read(std::string_view(&byte, 1), [&](std::string_view part) { decoded.append(part); },
                            reason))
        << reason;
  }
  EXPECT_TRUE(reader.Finish(reason));
  EXPECT_EQ(decoded, content);

  EXPECT_FALSE(DecodeZstdFrame(frame, content.size() - 1, decoded, reason));
  EXPECT_NE(reason.find("holds more than"), std::string::npos) << reason;
  EXPECT_FALSE(DecodeZstdFrame(frame + frame, 2 * content.size(), decoded, reason));
  EXPECT_EQ(reason, "bytes after the end of the zstd frame");
  EXPECT_FALSE(DecodeZstdFrame(frame.substr(0, frame.size() - 3), content.size(), decoded, reason));
  EXPECT_EQ(reason, "the zstd frame is cut off");
  EXPECT_FALSE(DecodeZstdFrame(content, content.size(), decoded, reason));
  EXPECT_NE(reason.find("zstd: "), std::string::npos) << reason;
  // Fed in pieces, libzstd takes a frame holding less than its header
  // declares, and refuses a legacy frame that it decodes whole: both are
  // refused either way.
  const std::string shortOfItsSize("\x28\xB5\x2F\xFD\x20\x1D\x01\x00\x00", 9);
  const std::string legacy("\x27\xB5\x2F\xFD\x84\x63\x00\x00\x00\x00\x00\x00\x00", 13);
  for (const std::string& bad : {shortOfItsSize, legacy}) {
    EXPECT_FALSE(DecodeZstdFrame(bad, 100, decoded, reason));
    ZstdFrameReader pieces(100);
    bool read = true;
    for (const char byte : bad) read = read && pieces.Read(std::string_view(&byte, 1), [](std::string_view) {}, reason);
    EXPECT_FALSE(read);
  }
  EXPECT_EQ(reason, "zstd: Unknown frame descriptor");

  std::string longer;
  ZstdFrameWriter announcedShort(3, 10);
  EXPECT_FALSE(announcedShort.Write(content.substr(0, 11), longer, reason) && announcedShort.Finish(longer, reason));
}
