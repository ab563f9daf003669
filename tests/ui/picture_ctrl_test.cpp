#include <gtest/gtest.h>

#include "ui/dialog_controls.h"
#include "ui/image_resources.h"
#include "ui/memory_canvas.h"
#include "ui/picture_ctrl.h"
#include "ui/recording_surface.h"

namespace {

using testing_canvas::MemoryCanvas;

TEST(PictureCtrl, IsSeeThroughWithoutImageAndScalesItsImageOverItself) {
  testing_canvas::RecordingSurface surface;
  ui::DialogControls controls(*res::FindDialogTemplate(res::kMainDialogTemplate), surface);
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  MemoryCanvas canvas(1034, 686);
  controls.Paint(canvas, {0, 0, 1034, 686});
  // 1001 covers the whole window and hides nothing.
  EXPECT_EQ(canvas.Pixels().rgba, background.rgba);

  auto* sheet = dynamic_cast<ui::CPictureCtrl*>(controls.Find(1001));
  ASSERT_NE(sheet, nullptr);
  platform::Bitmap bar;
  ui::LoadPngResource(2600, "PNG", bar);
  sheet->SetImage(bar);
  controls.Paint(canvas, {0, 0, 1034, 686});
  EXPECT_EQ(canvas.At(0, 0), bar.PixelAt(0, 0));
  EXPECT_EQ(canvas.At(1033, 685), bar.PixelAt(515, 19));
  EXPECT_EQ(canvas.At(517, 343), bar.PixelAt(258, 10));
}

}  // namespace
