#include "ui/xskin_button.h"

#include <algorithm>

#include "ui/image_resources.h"

namespace ui {
namespace {

platform::Bitmap LoadSkinImage(int id, std::string_view resourceType) {
  platform::Bitmap image;
  if (id == 0) {
    return image;
  }
  if (resourceType == "PNG") {
    LoadPngResource(id, resourceType, image);
  } else {
    image = LoadBitmapResource(id);
  }
  return image;
}

constexpr platform::Colour kEdgeLight = platform::Rgb(255, 255, 255);
constexpr platform::Colour kEdgeShadow = platform::Rgb(160, 160, 160);
constexpr platform::Colour kEdgeDark = platform::Rgb(105, 105, 105);
constexpr platform::Colour kFocusDots = platform::Rgb(0, 0, 0);

}  // namespace

CxSkinButton::CxSkinButton(int id, ControlHost& host, const platform::Rect& rect, bool visible)
    : Control(id, host, rect, visible) {}

void CxSkinButton::SetSkin(int normal, int pressed, int hover, int disabled, int focus, int /*mask*/,
                           short drawMode, short border, int focusMargin, std::string_view resourceType) {
  normal_ = LoadSkinImage(normal, resourceType);
  pressed_ = LoadSkinImage(pressed, resourceType);
  hover_ = LoadSkinImage(hover, resourceType);
  focus_ = LoadSkinImage(focus, resourceType);
  disabled_ = LoadSkinImage(disabled != 0 ? disabled : normal, resourceType);
  drawMode_ = drawMode < 0 ? short{kNaturalSize} : (drawMode > 1 ? short{kTile} : drawMode);
  border_ = border;
  focusMargin_ = std::max(focusMargin, 0);
  Host().InvalidateControl(Id());
}

void CxSkinButton::SetCheck(int /*state*/) {
  checked_ = false;
  Host().InvalidateControl(Id());
}

void CxSkinButton::Enable(bool enabled) {
  enabled_ = enabled;
  Host().InvalidateControl(Id());
}

bool CxSkinButton::FollowPointerWhileHeld() {
  const bool over = Host().IsCursorOver(Id());
  if (over == pushed_) {
    return false;
  }
  pushed_ = over;
  Host().InvalidateControl(Id());
  return true;
}

void CxSkinButton::OnMouseMove() {
  if (held_ && capture_) {
    FollowPointerWhileHeld();
  } else if (!hovering_ && Host().TrackMouseLeave(Id())) {
    hovering_ = true;
    Host().InvalidateControl(Id());
  }
}

void CxSkinButton::OnMouseLeave() {
  hovering_ = false;
  Host().InvalidateControl(Id());
}

void CxSkinButton::OnLButtonDown() {
  if (hovering_) {
    Host().CancelMouseLeave(Id());
    hovering_ = false;
  }
  // The platform button's own press: capture, focus, pushed look.
  capture_ = true;
  Host().TakeFocus(Id());
  focused_ = true;
  pushed_ = true;
  Host().InvalidateControl(Id());
  held_ = true;
}

void CxSkinButton::OnLButtonUp() {
  held_ = false;
  if (!capture_) {
    return;
  }
  capture_ = false;
  const bool clicked = pushed_ && Host().IsCursorOver(Id());
  pushed_ = false;
  Host().InvalidateControl(Id());
  if (clicked) {
    Host().NotifyClicked(Id());
  }
}

void CxSkinButton::OnLButtonDblClk() { OnLButtonDown(); }

void CxSkinButton::OnKillFocus() {
  if (capture_) {
    capture_ = false;
    held_ = false;
  }
  focused_ = false;
  pushed_ = false;
  Host().InvalidateControl(Id());
}

void CxSkinButton::Draw(platform::Canvas& canvas) {
  if (held_ && capture_ && FollowPointerWhileHeld()) {
    return;  // the change has asked for another repaint
  }
  const platform::Rect item = ClientRect();
  const platform::Bitmap* image = nullptr;
  bool sunken = false;
  if (!enabled_) {
    image = &disabled_;
  } else if (pushed_ || checked_) {
    image = &pressed_;
    sunken = true;
  } else if (normal_.Empty()) {
    image = &normal_;
  } else if (hovering_ && !hover_.Empty()) {
    image = &hover_;
  } else if (focused_ && !focus_.Empty()) {
    image = &focus_;
  } else {
    image = &normal_;
  }
  if (image->Empty()) {
    canvas.Fill(item, kButtonFace);
  } else {
    DrawImage(canvas, *image, item);
  }
  if (border_ != 0) {
    DrawEdge(canvas, item, sunken);
  }
  if (focused_ && focusMargin_ > 0) {
    DrawFocusRect(canvas, {focusMargin_, focusMargin_, item.right - focusMargin_, item.bottom - focusMargin_});
  }
}

void CxSkinButton::DrawImage(platform::Canvas& canvas, const platform::Bitmap& image, const platform::Rect& rect) {
  switch (drawMode_) {
    case kNaturalSize:
      // Pixel for pixel from the image's corner: a narrower button shows the
      // image's left part (the progress bar relies on it).
      canvas.CopyImage(image, 0, 0, rect);
      break;
    case kStretch:
      canvas.StretchImage(image, {0, 0, image.width, image.height}, rect, std::nullopt);
      break;
    default:
      for (int y = rect.top; y < rect.bottom; y += image.height) {
        for (int x = rect.left; x < rect.right; x += image.width) {
          canvas.CopyImage(image, 0, 0, {x, y, std::min(x + image.width, rect.right), std::min(y + image.height, rect.bottom)});
        }
      }
      break;
  }
}

void CxSkinButton::DrawEdge(platform::Canvas& canvas, const platform::Rect& r, bool sunken) {
  const platform::Colour outerLight = sunken ? kEdgeShadow : kEdgeLight;
  const platform::Colour outerDark = sunken ? kEdgeLight : kEdgeDark;
  canvas.Fill({r.left, r.top, r.right, r.top + 1}, outerLight);
  canvas.Fill({r.left, r.top, r.left + 1, r.bottom}, outerLight);
  canvas.Fill({r.left, r.bottom - 1, r.right, r.bottom}, outerDark);
  canvas.Fill({r.right - 1, r.top, r.right, r.bottom}, outerDark);
  canvas.Fill({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, sunken ? kButtonFace : kEdgeShadow);
  canvas.Fill({r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, sunken ? kButtonFace : kEdgeShadow);
}

void CxSkinButton::DrawFocusRect(platform::Canvas& canvas, const platform::Rect& r) {
  for (int x = r.left; x < r.right; x += 2) {
    canvas.Fill({x, r.top, x + 1, r.top + 1}, kFocusDots);
    canvas.Fill({x, r.bottom - 1, x + 1, r.bottom}, kFocusDots);
  }
  for (int y = r.top; y < r.bottom; y += 2) {
    canvas.Fill({r.left, y, r.left + 1, y + 1}, kFocusDots);
    canvas.Fill({r.right - 1, y, r.right, y + 1}, kFocusDots);
  }
}

}  // namespace ui
