#include <gtest/gtest.h>

#include "ui/dialog_controls.h"
#include "ui/image_resources.h"
#include "ui/memory_canvas.h"
#include "ui/recording_surface.h"

namespace {

using testing_canvas::MemoryCanvas;
using testing_canvas::RecordingSurface;

constexpr platform::Rect kClose{985, 130, 1010, 155};
constexpr int kInsideX = 990;
constexpr int kInsideY = 140;

platform::Bitmap Png(int id) {
  platform::Bitmap bitmap;
  ui::LoadPngResource(id, "PNG", bitmap);
  return bitmap;
}

class SkinButtonTest : public ::testing::Test {
 protected:
  SkinButtonTest() : controls_(*res::FindDialogTemplate(res::kMainDialogTemplate), surface_) {
    controls_.CreateSkinButton(2021, kClose, 2021, 2022, 2023);
  }

  // True when the window, painted now, shows `image` at natural size over
  // `area` (clipped to the image).
  bool Shows(const platform::Bitmap& image, const platform::Rect& area) {
    MemoryCanvas canvas(1034, 686);
    controls_.Paint(canvas, {0, 0, 1034, 686});
    for (int y = 0; y < std::min(area.Height(), image.height); ++y) {
      for (int x = 0; x < std::min(area.Width(), image.width); ++x) {
        if (canvas.At(area.left + x, area.top + y) != image.PixelAt(x, y)) {
          return false;
        }
      }
    }
    return true;
  }

  RecordingSurface surface_;
  ui::DialogControls controls_;
};

TEST_F(SkinButtonTest, HoverShowsHoverImageUntilThePointerLeaves) {
  EXPECT_TRUE(Shows(Png(2021), kClose));
  controls_.PointerMoved(kInsideX, kInsideY);
  EXPECT_TRUE(controls_.Button(2021)->Hovering());
  EXPECT_TRUE(Shows(Png(2023), kClose));
  controls_.PointerMoved(500, 400);
  EXPECT_FALSE(controls_.Button(2021)->Hovering());
  EXPECT_TRUE(Shows(Png(2021), kClose));
  EXPECT_TRUE(surface_.clicks.empty());
}

TEST_F(SkinButtonTest, PressedImageFollowsThePointerWhileHeldAndReleaseOutsideDoesNotClick) {
  controls_.PointerMoved(kInsideX, kInsideY);
  ASSERT_TRUE(controls_.ButtonPress(kInsideX, kInsideY));
  ui::CxSkinButton& button = *controls_.Button(2021);
  EXPECT_TRUE(button.Held());
  EXPECT_FALSE(button.Hovering());
  EXPECT_TRUE(Shows(Png(2022), kClose));
  controls_.PointerMoved(600, 300);  // still captured by the button
  EXPECT_FALSE(button.Pushed());
  EXPECT_TRUE(Shows(Png(2021), kClose));
  controls_.PointerMoved(kInsideX + 3, kInsideY);
  EXPECT_TRUE(Shows(Png(2022), kClose));
  controls_.PointerMoved(600, 300);
  controls_.ButtonRelease(600, 300);
  EXPECT_FALSE(button.Held());
  EXPECT_FALSE(button.HasCapture());
  EXPECT_TRUE(surface_.clicks.empty());
  EXPECT_TRUE(Shows(Png(2021), kClose));
}

TEST_F(SkinButtonTest, ClickAndDoubleClickSendOneCommandPerPress) {
  controls_.PointerMoved(kInsideX, kInsideY);
  controls_.ButtonPress(kInsideX, kInsideY);
  controls_.ButtonRelease(kInsideX, kInsideY);
  EXPECT_EQ(surface_.clicks, std::vector<int>{2021});
  controls_.Button(2021)->OnLButtonDblClk();
  controls_.ButtonRelease(kInsideX, kInsideY);
  EXPECT_EQ(surface_.clicks, (std::vector<int>{2021, 2021}));
  // After release the next move shows the hover image again.
  controls_.PointerMoved(kInsideX + 1, kInsideY);
  EXPECT_TRUE(Shows(Png(2023), kClose));
}

TEST_F(SkinButtonTest, PressOutsideButtonsBelongsToTheWindow) {
  EXPECT_FALSE(controls_.ButtonPress(500, 400));
  // Labels let presses through too.
  EXPECT_FALSE(controls_.ButtonPress(435, 545));
  EXPECT_TRUE(surface_.clicks.empty());
}

TEST_F(SkinButtonTest, LosingFocusWhileHeldReleasesTheCapture) {
  controls_.CreateSkinButton(2038, {957, 130, 982, 155}, 2038, 2039, 2040);
  controls_.PointerMoved(kInsideX, kInsideY);
  controls_.ButtonPress(kInsideX, kInsideY);
  controls_.Button(2021)->OnKillFocus();
  EXPECT_FALSE(controls_.Button(2021)->HasCapture());
  EXPECT_FALSE(controls_.Button(2021)->Held());
  // The next press goes to whatever is under the pointer.
  controls_.PointerMoved(960, 140);
  controls_.ButtonPress(960, 140);
  controls_.ButtonRelease(960, 140);
  EXPECT_EQ(surface_.clicks, std::vector<int>{2038});
}

TEST_F(SkinButtonTest, NarrowBarShowsLeftPartOfItsImage) {
  const platform::Rect bar{426, 564, 426 + 522 * 37 / 100, 584};
  controls_.CreateSkinButton(2031, bar, 2600, 2600, 2600);
  MemoryCanvas canvas(1034, 686);
  controls_.Paint(canvas, {0, 0, 1034, 686});
  const platform::Bitmap image = Png(2600);
  for (int x = 0; x < bar.Width(); x += 7) {
    ASSERT_EQ(canvas.At(bar.left + x, 570), image.PixelAt(x, 6)) << x;
  }
  // Beyond the button the background shows, not the rest of the bar.
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  EXPECT_EQ(canvas.At(bar.right + 5, 570), background.PixelAt(bar.right + 5, 570));
}

TEST_F(SkinButtonTest, SecondSkinReplacesAllImagesAndMissingOnesFillWithFace) {
  controls_.SetButtonImages(2021, 2601, 0, 0);
  EXPECT_TRUE(Shows(Png(2601), kClose));
  controls_.PointerMoved(kInsideX, kInsideY);
  EXPECT_TRUE(Shows(Png(2601), kClose));  // no hover image: the normal one
  controls_.ButtonPress(kInsideX, kInsideY);
  MemoryCanvas canvas(1034, 686);
  controls_.Paint(canvas, {0, 0, 1034, 686});
  EXPECT_EQ(canvas.At(kInsideX, kInsideY), ui::kButtonFace);
}

TEST_F(SkinButtonTest, CheckStateStaysOffForPushButtons) {
  ui::CxSkinButton& button = *controls_.Button(2021);
  EXPECT_EQ(button.GetCheck(), 0);
  button.SetCheck(1);
  EXPECT_EQ(button.GetCheck(), 0);
  EXPECT_TRUE(Shows(Png(2021), kClose));
}

TEST_F(SkinButtonTest, DisabledButtonShowsTheNormalImageWithoutHover) {
  ui::CxSkinButton& button = *controls_.Button(2021);
  button.Enable(false);
  controls_.PointerMoved(kInsideX, kInsideY);
  EXPECT_TRUE(Shows(Png(2021), kClose));
}

}  // namespace
