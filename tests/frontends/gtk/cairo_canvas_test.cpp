#include "frontends/gtk/cairo_canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/control_sample.h"

namespace {

platform::Colour PixelOf(cairo_surface_t* surface, int x, int y) {
  cairo_surface_flush(surface);
  const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(row)[x];
  return platform::Rgb((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// A picture a user drops on a label can be wider than cairo's own surfaces
// hold (32767 pixels); it is drawn all the same, and drawing goes on.
TEST(CairoCanvas, PicturesBeyondCairosLimitsAreDrawnAndDrawingGoesOn) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
  frontends::gtk::CairoCanvas canvas(surface);
  const platform::Colour red = platform::Rgb(255, 0, 0);
  const platform::Colour blue = platform::Rgb(0, 0, 255);
  const platform::Colour black = platform::Rgb(0, 0, 0);

  platform::Bitmap wide;
  wide.width = 40000;
  wide.height = 2;
  wide.rgba.assign(static_cast<std::size_t>(wide.width) * wide.height * 4, 0);
  canvas.Fill({0, 0, 8, 8}, red);
  canvas.StretchImage(wide, {0, 0, wide.width - 1, 1}, {0, 0, 8, 8}, platform::Rgb(255, 255, 255));
  EXPECT_EQ(PixelOf(surface, 3, 3), black);
  canvas.Fill({0, 0, 8, 8}, red);
  canvas.CopyImage(wide, 0, 0, {0, 0, 8, 8});
  EXPECT_EQ(PixelOf(surface, 3, 1), black);
  EXPECT_EQ(PixelOf(surface, 3, 2), red) << "below the picture's two rows";

  canvas.Fill({0, 0, 8, 8}, blue);
  EXPECT_EQ(PixelOf(surface, 3, 3), blue) << "the canvas still draws";
  cairo_surface_destroy(surface);
}

// The control sample's picture is the one the other platforms' canvases are
// held to; FARLAUNCH_WRITE_CONTROL_SAMPLE=1 draws it anew (after a change
// of the controls' looks), and the test then checks what it wrote.
TEST(CairoCanvas, DrawsTheControlSampleAsItsPictureShows) {
  frontends::gtk::CairoCanvas canvas(control_sample::kWidth, control_sample::kHeight);
  control_sample::Draw(canvas);
  if (std::getenv("FARLAUNCH_WRITE_CONTROL_SAMPLE") != nullptr) {
    cairo_surface_flush(canvas.Surface());
    ASSERT_EQ(cairo_surface_write_to_png(canvas.Surface(), CONTROL_SAMPLE_REFERENCE), CAIRO_STATUS_SUCCESS);
  }
  const platform::Bitmap drawn = canvas.Snapshot({0, 0, control_sample::kWidth, control_sample::kHeight});
  EXPECT_EQ(control_sample::Differences(drawn, control_sample::LoadReference()), "");
}

}  // namespace
