#include <gtest/gtest.h>

#include "res/resources.h"
#include "ui/image_decoders.h"
#include "ui/image_resources.h"

namespace {

constexpr platform::Colour kKey = platform::Rgb(204, 204, 204);

TEST(ImageResources, PngResourcesDecodeAtTheirSizes) {
  struct Expected {
    int id;
    int width;
    int height;
    bool alpha;
  };
  const Expected images[] = {{2021, 25, 24, false}, {2022, 25, 24, false}, {2023, 25, 24, false},
                             {2038, 25, 24, false}, {2039, 25, 24, false}, {2040, 25, 24, false},
                             {2077, 70, 24, true},  {2600, 516, 20, false}, {2601, 516, 20, false}};
  for (const Expected& e : images) {
    platform::Bitmap bitmap;
    ui::LoadPngResource(e.id, "PNG", bitmap);
    EXPECT_EQ(ui::BitmapWidth(bitmap), e.width) << e.id;
    EXPECT_EQ(ui::BitmapHeight(bitmap), e.height) << e.id;
    EXPECT_EQ(bitmap.hasAlpha, e.alpha) << e.id;
  }
  // The clear-cache image has see-through corners but keeps colour values.
  platform::Bitmap clear;
  ui::LoadPngResource(2077, "PNG", clear);
  EXPECT_EQ(clear.rgba[3], 0);
  EXPECT_EQ(clear.rgba[(12 * 70 + 35) * 4 + 3], 255);
}

TEST(ImageResources, MissingOrMistypedResourceLeavesBitmapEmpty) {
  platform::Bitmap bitmap;
  ui::LoadPngResource(2600, "PNG", bitmap);
  ASSERT_FALSE(bitmap.Empty());
  ui::LoadPngResource(9999, "PNG", bitmap);
  EXPECT_TRUE(bitmap.Empty());
  ui::LoadPngResource(2021, "BITMAP", bitmap);
  EXPECT_TRUE(bitmap.Empty());
  // A resource that is there but is no PNG (the background is a BMP).
  ui::LoadPngResource(141, "BITMAP", bitmap);
  EXPECT_TRUE(bitmap.Empty());
}

TEST(ImageResources, BackgroundBitmapHasKeyColouredMargin) {
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  ASSERT_EQ(background.width, 1034);
  ASSERT_EQ(background.height, 686);
  EXPECT_EQ(background.PixelAt(0, 0), kKey);
  EXPECT_EQ(background.PixelAt(1033, 0), kKey);
  EXPECT_EQ(background.PixelAt(0, 685), kKey);
  EXPECT_EQ(background.PixelAt(1033, 685), kKey);
  EXPECT_EQ(background.PixelAt(5, 400), kKey);
  EXPECT_NE(background.PixelAt(500, 400), kKey);
  // About a quarter of the window is see-through margin, and the artwork
  // itself never uses the key colour.
  int key = 0;
  for (int y = 0; y < background.height; ++y) {
    for (int x = 0; x < background.width; ++x) {
      key += background.PixelAt(x, y) == kKey;
    }
  }
  const double share = static_cast<double>(key) / (1034.0 * 686.0);
  EXPECT_GT(share, 0.15);
  EXPECT_LT(share, 0.35);
  EXPECT_TRUE(res::FindResource(128, res::kTypeIcon).has_value());
}

TEST(ImageDecoders, RejectTruncatedAndForeignData) {
  const std::optional<res::ResourceBytes> png = res::FindResource(2021, res::kTypePng);
  ASSERT_TRUE(png);
  EXPECT_FALSE(ui::DecodePng(png->data, png->size).Empty());
  EXPECT_TRUE(ui::DecodePng(png->data, png->size / 2).Empty());
  EXPECT_TRUE(ui::DecodeBmp(png->data, png->size).Empty());

  const std::optional<res::ResourceBytes> bmp = res::FindResource(141, res::kTypeBitmap);
  ASSERT_TRUE(bmp);
  EXPECT_TRUE(ui::DecodeBmp(bmp->data, bmp->size - 1000).Empty());
  EXPECT_TRUE(ui::DecodeBmp(bmp->data, 30).Empty());
}

}  // namespace
