#include "frontends/gtk/cairo_canvas.h"

#include <algorithm>

#include "frontends/gtk/gtk_text.h"
#include "ui/text_layout.h"

namespace frontends::gtk {
namespace {

constexpr int kReferenceSize = 100;
constexpr int kDefaultWeight = 400;
constexpr platform::Colour kDefaultBackground = platform::Rgb(255, 255, 255);

double Red(platform::Colour c) { return (c & 0xFF) / 255.0; }
double Green(platform::Colour c) { return ((c >> 8) & 0xFF) / 255.0; }
double Blue(platform::Colour c) { return ((c >> 16) & 0xFF) / 255.0; }

}  // namespace

CairoCanvas::CairoCanvas(cairo_surface_t* surface) : CairoCanvas(CairoSurface(cairo_surface_reference(surface))) {}

CairoCanvas::CairoCanvas(int width, int height)
    : CairoCanvas(
          CairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 1), std::max(height, 1)))) {}

CairoCanvas::CairoCanvas(CairoSurface surface)
    : surface_(std::move(surface)),
      cr_(cairo_create(surface_.get())),
      clip_(cairo_image_surface_get_width(surface_.get()), cairo_image_surface_get_height(surface_.get())) {}

void CairoCanvas::SetOrigin(int x, int y) {
  clip_.SetOrigin(x, y);
  cairo_identity_matrix(cr_.get());
  cairo_translate(cr_.get(), x, y);
}

void CairoCanvas::ApplyClip() {
  const platform::Rect c = clip_.Logical();
  cairo_reset_clip(cr_.get());
  cairo_rectangle(cr_.get(), c.left, c.top, std::max(0, c.Width()), std::max(0, c.Height()));
  cairo_clip(cr_.get());
}

void CairoCanvas::PushClip(const platform::Rect& rect) {
  clip_.Push(rect);
  ApplyClip();
}

void CairoCanvas::PopClip() {
  clip_.Pop();
  ApplyClip();
}

platform::Rect CairoCanvas::ClipBox() { return clip_.Logical(); }

ui::PixelBuffer CairoCanvas::Pixels() const {
  return {cairo_image_surface_get_data(surface_.get()), cairo_image_surface_get_width(surface_.get()),
          cairo_image_surface_get_height(surface_.get()), cairo_image_surface_get_stride(surface_.get())};
}

// Pictures go into the surface's pixels directly, as on every canvas: cairo
// is told before and after, since it keeps drawing on the same pixels.
void CairoCanvas::CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) {
  cairo_surface_flush(surface_.get());
  ui::CopyPixels(Pixels(), clip_, image, sourceX, sourceY, dest);
  cairo_surface_mark_dirty(surface_.get());
}

void CairoCanvas::StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                               std::optional<platform::Colour> transparent) {
  cairo_surface_flush(surface_.get());
  ui::StretchPixels(Pixels(), clip_, image, source, dest, transparent);
  cairo_surface_mark_dirty(surface_.get());
}

void CairoCanvas::Fill(const platform::Rect& rect, platform::Colour colour) {
  cairo_save(cr_.get());
  cairo_set_source_rgb(cr_.get(), Red(colour), Green(colour), Blue(colour));
  cairo_rectangle(cr_.get(), rect.left, rect.top, rect.Width(), rect.Height());
  cairo_fill(cr_.get());
  cairo_restore(cr_.get());
}

platform::Colour CairoCanvas::BackgroundColour() { return kDefaultBackground; }

const PangoFontDescription* CairoCanvas::DescriptionFor(const platform::Font& font) {
  const auto key = std::make_pair(font.height, font.weight);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) {
    return found->second.get();
  }
  FontDescription description(pango_font_description_new());
  pango_font_description_set_family(description.get(), kCjkFontFamily);
  const int weight = font.weight == 0 ? kDefaultWeight : std::clamp(font.weight, 100, 1000);
  pango_font_description_set_weight(description.get(), static_cast<PangoWeight>(weight));
  // Font heights are cell heights (ascent + descent): find the size whose
  // cell is that high.
  pango_font_description_set_absolute_size(description.get(), kReferenceSize * PANGO_SCALE);
  const GObjectRef<PangoContext> context(pango_cairo_create_context(cr_.get()));
  const FontMetrics metrics(pango_context_get_metrics(context.get(), description.get(), nullptr));
  const double cell = pango_font_metrics_get_ascent(metrics.get()) + pango_font_metrics_get_descent(metrics.get());
  const int height = font.height != 0 ? std::abs(font.height) : 12;
  const double size = cell > 0 ? height * kReferenceSize * PANGO_SCALE * PANGO_SCALE / cell : height * PANGO_SCALE;
  pango_font_description_set_absolute_size(description.get(), size);
  return (fonts_[key] = std::move(description)).get();
}

GObjectRef<PangoLayout> CairoCanvas::LayoutFor(const platform::Font& font, const std::string& text) {
  GObjectRef<PangoLayout> layout(pango_cairo_create_layout(cr_.get()));
  pango_layout_set_font_description(layout.get(), DescriptionFor(font));
  // One line: CR and LF inside a line are shown, not obeyed.
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  const std::string utf8 = ToUtf8(text);
  pango_layout_set_text(layout.get(), utf8.data(), static_cast<int>(utf8.size()));
  return layout;
}

int CairoCanvas::TextWidth(const platform::Font& font, const std::string& text) {
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(LayoutFor(font, text).get(), &width, &height);
  return width;
}

int CairoCanvas::LineHeight(const platform::Font& font) {
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(LayoutFor(font, "X").get(), &width, &height);
  return height;
}

void CairoCanvas::DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                           const std::string& text, platform::TextAlign align, bool verticalCentre) {
  const GObjectRef<PangoLayout> layout = LayoutFor(font, text);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout.get(), &width, &height);
  const ui::LineStart start = ui::PlaceLine(rect, width, height, align, verticalCentre);
  cairo_save(cr_.get());
  cairo_rectangle(cr_.get(), rect.left, rect.top, rect.Width(), rect.Height());
  cairo_clip(cr_.get());
  cairo_set_source_rgb(cr_.get(), Red(colour), Green(colour), Blue(colour));
  cairo_move_to(cr_.get(), start.x, start.y);
  pango_cairo_show_layout(cr_.get(), layout.get());
  cairo_restore(cr_.get());
}

platform::Bitmap CairoCanvas::Snapshot(const platform::Rect& rect) {
  cairo_surface_flush(surface_.get());
  return ui::SnapshotPixels(Pixels(), clip_, rect);
}

std::unique_ptr<platform::Canvas> CairoCanvas::CreateSurface(int width, int height) {
  return std::make_unique<CairoCanvas>(width, height);
}

}  // namespace frontends::gtk
