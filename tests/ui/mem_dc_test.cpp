#include <gtest/gtest.h>

#include "ui/mem_dc.h"
#include "ui/memory_canvas.h"

namespace {

using testing_canvas::MemoryCanvas;
using platform::Rgb;

MemoryCanvas Striped() {
  MemoryCanvas target(40, 30);
  for (int x = 0; x < 40; ++x) {
    target.Fill({x, 0, x + 1, 30}, Rgb(x * 5, 100, 200 - x));
  }
  return target;
}

TEST(MemDC, CopyBackgroundStartsWithTheTargetsPixelsAndDeliversOnClose) {
  MemoryCanvas target = Striped();
  const platform::Bitmap before = target.Pixels();
  {
    ui::CMemDC mem(target, platform::Rect{0, 0, 20, 10}, true);
    EXPECT_EQ(mem.Snapshot({0, 0, 20, 10}).rgba, target.Snapshot({0, 0, 20, 10}).rgba);
    mem.Fill({2, 2, 4, 4}, Rgb(1, 2, 3));
    // Nothing reaches the target before the surface is closed.
    EXPECT_EQ(target.Pixels().rgba, before.rgba);
  }
  EXPECT_EQ(target.At(2, 2), Rgb(1, 2, 3));
  EXPECT_EQ(target.At(3, 3), Rgb(1, 2, 3));
  EXPECT_EQ(target.At(4, 4), before.PixelAt(4, 4));
  EXPECT_EQ(target.At(19, 9), before.PixelAt(19, 9));
}

TEST(MemDC, OffsetRectangleUsesTargetCoordinatesAndStaysInside) {
  MemoryCanvas target = Striped();
  const platform::Bitmap before = target.Pixels();
  {
    ui::CMemDC mem(target, platform::Rect{10, 5, 30, 15}, true);
    // Starts with what lies under the rectangle, not at the target's corner.
    EXPECT_EQ(mem.Snapshot({10, 5, 11, 6}).PixelAt(0, 0), before.PixelAt(10, 5));
    mem.Fill({0, 0, 40, 30}, Rgb(9, 9, 9));
  }
  EXPECT_EQ(target.At(10, 5), Rgb(9, 9, 9));
  EXPECT_EQ(target.At(29, 14), Rgb(9, 9, 9));
  EXPECT_EQ(target.At(9, 5), before.PixelAt(9, 5));
  EXPECT_EQ(target.At(30, 14), before.PixelAt(30, 14));
  EXPECT_EQ(target.At(10, 15), before.PixelAt(10, 15));
}

TEST(MemDC, WithoutCopyStartsWithBackgroundColourOverTheClipBox) {
  MemoryCanvas target = Striped();
  target.SetBackgroundColour(Rgb(7, 8, 9));
  target.PushClip({5, 5, 15, 15});
  { ui::CMemDC mem(target, std::nullopt, false); }
  target.PopClip();
  EXPECT_EQ(target.At(5, 5), Rgb(7, 8, 9));
  EXPECT_EQ(target.At(14, 14), Rgb(7, 8, 9));
  EXPECT_NE(target.At(15, 15), Rgb(7, 8, 9));
}

}  // namespace
