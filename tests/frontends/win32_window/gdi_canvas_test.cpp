#include "frontends/win32_window/gdi_canvas.h"

#include <gtest/gtest.h>

#include "ui/control_sample.h"

namespace {

TEST(GdiCanvas, DrawsTheControlsAsTheLinuxCanvasDoes) {
  frontends::win32_window::GdiCanvas canvas(control_sample::kWidth, control_sample::kHeight);
  control_sample::Draw(canvas);
  const platform::Bitmap drawn = canvas.Snapshot({0, 0, control_sample::kWidth, control_sample::kHeight});
  const std::string differences = control_sample::Differences(drawn, control_sample::LoadReference());
  if (!differences.empty()) {
    control_sample::WritePpm(drawn, "gdi_canvas_control_sample.ppm");
  }
  EXPECT_EQ(differences, "") << "the picture drawn: gdi_canvas_control_sample.ppm in the test's folder";
}

}  // namespace
