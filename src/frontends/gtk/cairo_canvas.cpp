#include "frontends/gtk/cairo_canvas.h"

#include <algorithm>
#include <cstring>

#include "frontends/gtk/gtk_text.h"

namespace frontends::gtk {
namespace {

constexpr int kReferenceSize = 100;
constexpr int kDefaultWeight = 400;
constexpr platform::Colour kDefaultBackground = platform::Rgb(255, 255, 255);

double Red(platform::Colour c) { return (c & 0xFF) / 255.0; }
double Green(platform::Colour c) { return ((c >> 8) & 0xFF) / 255.0; }
double Blue(platform::Colour c) { return ((c >> 16) & 0xFF) / 255.0; }

// The bitmap as a cairo surface; the key colour, when given, see-through.
// Null when cairo cannot hold it (a dropped picture wider or taller than
// cairo's limit): drawing from an error surface would also put the canvas
// itself in error for good.
CairoSurface ToSurface(const platform::Bitmap& image, std::optional<platform::Colour> transparent) {
  CairoSurface surface(
      cairo_image_surface_create(transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, image.width, image.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
      const bool hidden = transparent && image.PixelAt(x, y) == *transparent;
      row[x] = hidden ? 0u : (0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2]);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

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

void CairoCanvas::CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) {
  if (image.Empty()) {
    return;
  }
  // Only the part of `dest` that the image covers is touched.
  const int width = std::min(dest.Width(), image.width - sourceX);
  const int height = std::min(dest.Height(), image.height - sourceY);
  if (width <= 0 || height <= 0) {
    return;
  }
  const CairoSurface source = ToSurface(image, std::nullopt);
  if (!source) {
    return;
  }
  cairo_save(cr_.get());
  cairo_set_operator(cr_.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr_.get(), source.get(), dest.left - sourceX, dest.top - sourceY);
  cairo_rectangle(cr_.get(), dest.left, dest.top, width, height);
  cairo_fill(cr_.get());
  cairo_restore(cr_.get());
}

void CairoCanvas::StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                               std::optional<platform::Colour> transparent) {
  if (image.Empty() || source.Width() <= 0 || source.Height() <= 0 || dest.Width() <= 0 || dest.Height() <= 0) {
    return;
  }
  const CairoSurface surface = ToSurface(image, transparent);
  if (!surface) {
    return;
  }
  cairo_save(cr_.get());
  cairo_rectangle(cr_.get(), dest.left, dest.top, dest.Width(), dest.Height());
  cairo_clip(cr_.get());
  cairo_translate(cr_.get(), dest.left, dest.top);
  cairo_scale(cr_.get(), static_cast<double>(dest.Width()) / source.Width(),
              static_cast<double>(dest.Height()) / source.Height());
  cairo_set_source_surface(cr_.get(), surface.get(), -source.left, -source.top);
  cairo_pattern_set_filter(cairo_get_source(cr_.get()), CAIRO_FILTER_NEAREST);
  cairo_paint(cr_.get());
  cairo_restore(cr_.get());
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
  int x = rect.left;
  if (align == platform::TextAlign::Centre) {
    x += (rect.Width() - width) / 2;
  } else if (align == platform::TextAlign::Right) {
    x = rect.right - width;
  }
  const int y = verticalCentre ? rect.top + (rect.Height() - height) / 2 : rect.top;
  cairo_save(cr_.get());
  cairo_rectangle(cr_.get(), rect.left, rect.top, rect.Width(), rect.Height());
  cairo_clip(cr_.get());
  cairo_set_source_rgb(cr_.get(), Red(colour), Green(colour), Blue(colour));
  cairo_move_to(cr_.get(), x, y);
  pango_cairo_show_layout(cr_.get(), layout.get());
  cairo_restore(cr_.get());
}

platform::Bitmap CairoCanvas::Snapshot(const platform::Rect& rect) {
  platform::Bitmap out;
  out.width = std::max(0, rect.Width());
  out.height = std::max(0, rect.Height());
  out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
  cairo_surface_flush(surface_.get());
  const unsigned char* data = cairo_image_surface_get_data(surface_.get());
  const int stride = cairo_image_surface_get_stride(surface_.get());
  const int surfaceWidth = cairo_image_surface_get_width(surface_.get());
  const int surfaceHeight = cairo_image_surface_get_height(surface_.get());
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      std::uint8_t* q = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
      q[3] = 255;
      const int dx = rect.left + x + clip_.OriginX();
      const int dy = rect.top + y + clip_.OriginY();
      if (dx < 0 || dy < 0 || dx >= surfaceWidth || dy >= surfaceHeight) {
        continue;
      }
      std::uint32_t pixel;
      std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(dy) * stride + dx * 4, sizeof pixel);
      q[0] = (pixel >> 16) & 0xFF;
      q[1] = (pixel >> 8) & 0xFF;
      q[2] = pixel & 0xFF;
    }
  }
  return out;
}

std::unique_ptr<platform::Canvas> CairoCanvas::CreateSurface(int width, int height) {
  return std::make_unique<CairoCanvas>(width, height);
}

}  // namespace frontends::gtk
