#include "ui/pixel_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

using platform::Rgb;

constexpr std::uint32_t kPadding = 0xDEADBEEF;

// Rows with padding after them, as a surface's stride may have.
struct PaddedPixels {
  static constexpr int kWidth = 4;
  static constexpr int kHeight = 2;
  static constexpr int kStride = (kWidth + 1) * 4;
  std::vector<std::uint32_t> words = std::vector<std::uint32_t>(kStride / 4 * kHeight, 0);
  PaddedPixels() {
    for (int y = 0; y < kHeight; ++y) words[y * kStride / 4 + kWidth] = kPadding;
  }
  ui::PixelBuffer Buffer() { return {reinterpret_cast<unsigned char*>(words.data()), kWidth, kHeight, kStride}; }
  std::uint32_t At(int x, int y) const { return words[y * kStride / 4 + x]; }
};

platform::Bitmap Picture(const std::vector<platform::Colour>& row) {
  platform::Bitmap image;
  image.width = static_cast<int>(row.size());
  image.height = 1;
  for (const platform::Colour c : row) {
    const std::uint8_t pixel[] = {std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t(c >> 16), 255};
    image.rgba.insert(image.rgba.end(), std::begin(pixel), std::end(pixel));
  }
  return image;
}

// Two source pixels over three: the middle one's centre lies on their
// boundary and takes the first. The key colour leaves what is there, the
// clip and the origin hold, and the bytes between rows are never written.
TEST(PixelBuffer, StretchesNearestWithTheKeySeeThroughInsideTheClipOnly) {
  PaddedPixels pixels;
  ui::CanvasClip clip(PaddedPixels::kWidth, PaddedPixels::kHeight);
  clip.Push({0, 0, 3, 1});
  clip.SetOrigin(1, 0);
  const platform::Colour key = Rgb(204, 204, 204);
  ui::StretchPixels(pixels.Buffer(), clip, Picture({Rgb(255, 0, 0), key}), {0, 0, 2, 1}, {-1, 0, 2, 2}, key);
  EXPECT_EQ(pixels.At(0, 0), 0xFF0000u);
  EXPECT_EQ(pixels.At(1, 0), 0xFF0000u);
  EXPECT_EQ(pixels.At(2, 0), 0u) << "the key colour is not drawn";
  EXPECT_EQ(pixels.At(3, 0), 0u) << "outside the clip";
  EXPECT_EQ(pixels.At(0, 1), 0u) << "outside the clip";
  EXPECT_EQ(pixels.At(PaddedPixels::kWidth, 0), kPadding);

  ui::CanvasClip whole(PaddedPixels::kWidth, PaddedPixels::kHeight);
  ui::FillPixels(pixels.Buffer(), whole, {0, 0, 9, 9}, Rgb(0, 0, 255));
  EXPECT_EQ(pixels.At(3, 1), 0x0000FFu);
  EXPECT_EQ(pixels.At(PaddedPixels::kWidth, 0), kPadding);
  EXPECT_EQ(pixels.At(PaddedPixels::kWidth, 1), kPadding);
  // What lies off the surface reads as black.
  const platform::Bitmap shot = ui::SnapshotPixels(pixels.Buffer(), whole, {3, 1, 5, 2});
  EXPECT_EQ(shot.PixelAt(0, 0), Rgb(0, 0, 255));
  EXPECT_EQ(shot.PixelAt(1, 0), Rgb(0, 0, 0));
}

// A copy starts at the source point, before the picture's first column
// too, and ends where the picture does.
TEST(PixelBuffer, CopiesOneForOneOnlyWhereThePictureReaches) {
  PaddedPixels pixels;
  ui::CanvasClip clip(PaddedPixels::kWidth, PaddedPixels::kHeight);
  clip.SetOrigin(1, 0);
  const platform::Bitmap picture = Picture({Rgb(255, 0, 0), Rgb(0, 255, 0)});
  ui::CopyPixels(pixels.Buffer(), clip, picture, -1, 0, {0, 0, 3, 2});
  ui::CopyPixels(pixels.Buffer(), clip, picture, 1, 0, {0, 1, 3, 2});
  EXPECT_EQ(pixels.At(1, 0), 0u) << "before the picture";
  EXPECT_EQ(pixels.At(2, 0), 0xFF0000u);
  EXPECT_EQ(pixels.At(3, 0), 0x00FF00u);
  EXPECT_EQ(pixels.At(1, 1), 0x00FF00u);
  EXPECT_EQ(pixels.At(2, 1), 0u) << "past the picture";
  EXPECT_EQ(pixels.At(PaddedPixels::kWidth, 0), kPadding);
}

}  // namespace
