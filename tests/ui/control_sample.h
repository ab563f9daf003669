#pragma once
// A few of the window's controls drawn on any canvas, and the comparison of
// the picture with the one the Linux canvas drew (tests/ui/control_sample.png,
// the file CONTROL_SAMPLE_REFERENCE names): every canvas must draw the
// skin's pictures exactly and the text closely.
#include <string>

#include "platform/canvas.h"

namespace control_sample {

constexpr int kWidth = 240;
constexpr int kHeight = 124;

// Draws the sample: the close button normal, hovered and pressed, part of the
// download bar, a label with Chinese text, the progress control at 37 %, and
// pictures scaled up (with a see-through colour) and down.
void Draw(platform::Canvas& canvas);

// The reference picture; empty when it cannot be read.
platform::Bitmap LoadReference();

// Empty when `drawn` shows what `reference` shows; otherwise what differs.
std::string Differences(const platform::Bitmap& drawn, const platform::Bitmap& reference);

// Writes the picture as a binary PPM file, to look at after a failure.
void WritePpm(const platform::Bitmap& picture, const std::string& path);

}  // namespace control_sample
