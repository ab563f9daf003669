#include "ui/control_sample.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "res/dialog_template.h"
#include "support/code_page_text.h"
#include "ui/dialog_controls.h"
#include "ui/image_decoders.h"
#include "ui/image_resources.h"
#include "ui/recording_surface.h"

namespace control_sample {
namespace {

constexpr platform::Colour kBackdrop = platform::Rgb(40, 60, 90);
constexpr platform::Colour kTextColour = platform::Rgb(255, 230, 120);
constexpr platform::Rect kLabel{4, 32, 236, 52};
constexpr int kLabelId = 1;
constexpr int kProgressId = 2;
constexpr int kNormalButton = 11;
constexpr int kHoveredButton = 12;
constexpr int kPressedButton = 13;
constexpr int kBarButton = 14;
// Font rendering differs between canvases by this much at most.
constexpr int kTextShift = 2;
constexpr double kTextMismatch = 0.10;

platform::Bitmap Png(int id) {
  platform::Bitmap bitmap;
  ui::LoadPngResource(id, "PNG", bitmap);
  return bitmap;
}

int Brightness(const platform::Bitmap& b, int x, int y) {
  const platform::Colour c = b.PixelAt(x, y);
  return static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF));
}

// The text's pixels in the label: a quarter of the way from the backdrop
// to the text colour or more (the canvases smooth glyph edges differently).
std::vector<bool> Ink(const platform::Bitmap& b) {
  const int backdrop = 40 + 60 + 90;
  std::vector<bool> ink(static_cast<std::size_t>(kLabel.Width()) * kLabel.Height());
  for (int y = 0; y < kLabel.Height(); ++y) {
    for (int x = 0; x < kLabel.Width(); ++x) {
      ink[static_cast<std::size_t>(y) * kLabel.Width() + x] = Brightness(b, kLabel.left + x, kLabel.top + y) > backdrop + 100;
    }
  }
  return ink;
}

bool InkNear(const std::vector<bool>& ink, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx;
      const int ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < kLabel.Width() && ny < kLabel.Height() &&
          ink[static_cast<std::size_t>(ny) * kLabel.Width() + nx]) {
        return true;
      }
    }
  }
  return false;
}

// Ink pixels of `a` with no ink of `b` within a pixel, `b` moved by (sx, sy).
int Unmatched(const std::vector<bool>& a, const std::vector<bool>& b, int sx, int sy) {
  int count = 0;
  for (int y = 0; y < kLabel.Height(); ++y) {
    for (int x = 0; x < kLabel.Width(); ++x) {
      if (a[static_cast<std::size_t>(y) * kLabel.Width() + x] && !InkNear(b, x - sx, y - sy)) {
        ++count;
      }
    }
  }
  return count;
}

std::string TextDifferences(const platform::Bitmap& drawn, const platform::Bitmap& reference) {
  const std::vector<bool> drawnInk = Ink(drawn);
  const std::vector<bool> referenceInk = Ink(reference);
  const auto total = std::count(drawnInk.begin(), drawnInk.end(), true) +
                     std::count(referenceInk.begin(), referenceInk.end(), true);
  int best = static_cast<int>(total);
  for (int sy = -kTextShift; sy <= kTextShift; ++sy) {
    for (int sx = -kTextShift; sx <= kTextShift; ++sx) {
      best = std::min(best, Unmatched(drawnInk, referenceInk, sx, sy) + Unmatched(referenceInk, drawnInk, -sx, -sy));
    }
  }
  if (std::count(referenceInk.begin(), referenceInk.end(), true) == 0 || best > kTextMismatch * total) {
    std::ostringstream out;
    out << "the label's text: " << best << " of " << total << " text pixels without a counterpart\n";
    return out.str();
  }
  return "";
}

bool InLabel(int x, int y) { return x >= kLabel.left && x < kLabel.right && y >= kLabel.top && y < kLabel.bottom; }

}  // namespace

void Draw(platform::Canvas& canvas) {
  static const std::string face = Gbk("宋体");
  const res::DialogTemplate dialog{0, face.c_str(), 9, kWidth, kHeight,
                                   {{kLabelId, res::ControlKind::Label, res::style::kChild | res::style::kVisible, kLabel, 0},
                                    {kProgressId, res::ControlKind::ProgressBar, res::style::kChild | res::style::kVisible,
                                     {4, 56, 236, 66}, 0}}};
  testing_canvas::RecordingSurface surface;
  ui::DialogControls controls(dialog, surface);
  controls.CreateSkinButton(kNormalButton, {4, 4, 29, 28}, 2021, 2022, 2023);
  controls.CreateSkinButton(kHoveredButton, {34, 4, 59, 28}, 2021, 2022, 2023);
  controls.CreateSkinButton(kPressedButton, {64, 4, 89, 28}, 2021, 2022, 2023);
  controls.CreateSkinButton(kBarButton, {94, 4, 236, 24}, 2600, 2600, 2600);
  ui::CxStatic& label = *controls.Label(kLabelId);
  label.SetFontParams(face, 13, 80, false);  // as the launcher styles its labels
  label.SetTextColour(kTextColour);
  label.SetText(Gbk("下载中 80%"));
  controls.Progress(kProgressId)->Setup(platform::Rgb(230, 230, 230), platform::Rgb(6, 176, 37), 0, 100);
  controls.Progress(kProgressId)->SetValue(37);

  canvas.Fill({0, 0, kWidth, kHeight}, kBackdrop);
  controls.PointerMoved(40, 10);
  controls.Paint(canvas, {0, 0, kWidth, kHeight});
  // The pointer leaves the hovered button for the pressed one: painting the
  // pressed one alone keeps the hovered look beside it.
  controls.PointerMoved(70, 10);
  controls.ButtonPress(70, 10);
  controls.Paint(canvas, {64, 4, 89, 28});
  const platform::Bitmap minimise = Png(2039);
  canvas.StretchImage(minimise, {0, 0, minimise.width, minimise.height}, {4, 70, 54, 118}, minimise.PixelAt(0, 0));
  canvas.StretchImage(Png(2600), {0, 0, 366, 20}, {64, 70, 186, 90}, std::nullopt);
}

platform::Bitmap LoadReference() {
  std::ifstream in(CONTROL_SAMPLE_REFERENCE, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ui::DecodePng(bytes.data(), bytes.size());
}

std::string Differences(const platform::Bitmap& drawn, const platform::Bitmap& reference) {
  if (drawn.width != kWidth || drawn.height != kHeight || reference.width != kWidth || reference.height != kHeight) {
    return "the pictures are not both " + std::to_string(kWidth) + " x " + std::to_string(kHeight) + "\n";
  }
  std::ostringstream out;
  int shown = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (!InLabel(x, y) && drawn.PixelAt(x, y) != reference.PixelAt(x, y) && shown++ < 10) {
        out << "pixel (" << x << ", " << y << "): 0x" << std::hex << drawn.PixelAt(x, y) << " instead of 0x"
            << reference.PixelAt(x, y) << std::dec << "\n";
      }
    }
  }
  if (shown > 10) {
    out << "... " << shown << " pixels differ outside the label\n";
  }
  return out.str() + TextDifferences(drawn, reference);
}

void WritePpm(const platform::Bitmap& picture, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
    out.write(reinterpret_cast<const char*>(&picture.rgba[i]), 3);
  }
}

}  // namespace control_sample
