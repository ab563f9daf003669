#include "ui/dialog_controls.h"

#include <algorithm>

#include "ui/image_resources.h"
#include "ui/picture_ctrl.h"

namespace ui {
namespace {

constexpr int kScreenDpi = 96;
constexpr int kPointsPerInch = 72;
constexpr int kNormalWeight = 400;

bool Contains(const platform::Rect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Intersects(const platform::Rect& a, const platform::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

DialogControls::DialogControls(const res::DialogTemplate& dialog, SurfaceHost& host) : host_(host) {
  const platform::Font dialogFont{dialog.fontFace, dialog.fontPoints * kScreenDpi / kPointsPerInch, kNormalWeight};
  for (const res::DialogItem& item : dialog.items) {
    const bool visible = (item.style & res::style::kVisible) != 0;
    std::unique_ptr<Control> control;
    switch (item.kind) {
      case res::ControlKind::BackgroundBitmap:
        control = std::make_unique<BitmapStatic>(item.id, *this, item.rect, visible,
                                                 LoadBitmapResource(item.bitmapResource));
        break;
      case res::ControlKind::PictureCtrl:
        control = std::make_unique<CPictureCtrl>(item.id, *this, item.rect, visible);
        break;
      case res::ControlKind::SkinButton:
        control = std::make_unique<CxSkinButton>(item.id, *this, item.rect, visible);
        break;
      case res::ControlKind::Label:
        control = std::make_unique<CxStatic>(item.id, *this, item.rect, visible, item.style, dialogFont, "");
        break;
      case res::ControlKind::ProgressBar:
        control = std::make_unique<ProgressControl>(item.id, *this, item.rect, visible);
        break;
      case res::ControlKind::WebBrowser:  // a native widget of the backend
      case res::ControlKind::PlainStatic:
      case res::ControlKind::PlainPicture:
      case res::ControlKind::CheckBox:
        control = std::make_unique<InertControl>(item.id, *this, item.rect, visible);
        break;
    }
    controls_.push_back(std::move(control));
  }
}

void DialogControls::PlaceControl(int id, const platform::Rect& rect, bool visible) {
  Control* control = Find(id);
  if (control == nullptr) {
    return;
  }
  host_.InvalidateArea(control->WindowRect());
  control->Move(rect);
  control->Show(visible);
  host_.InvalidateArea(rect);
}

void DialogControls::CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage,
                                      int hoverImage) {
  auto button = std::make_unique<CxSkinButton>(id, *this, rect, true);
  controls_.push_back(std::move(button));
  SetButtonImages(id, normalImage, pressedImage, hoverImage);
}

void DialogControls::SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) {
  if (CxSkinButton* button = Button(id)) {
    button->SetSkin(normalImage, pressedImage, hoverImage, 0, 0, 0, CxSkinButton::kNaturalSize, 0, 0, "PNG");
  }
}

Control* DialogControls::Find(int id) {
  // The latest control of an id wins, as a created window shadows a
  // template control of the same id.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->Id() == id) {
      return it->get();
    }
  }
  return nullptr;
}

CxStatic* DialogControls::Label(int id) { return dynamic_cast<CxStatic*>(Find(id)); }

CxSkinButton* DialogControls::Button(int id) { return dynamic_cast<CxSkinButton*>(Find(id)); }

ProgressControl* DialogControls::Progress(int id) { return dynamic_cast<ProgressControl*>(Find(id)); }

Control* DialogControls::MouseControlAt(int x, int y) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    Control& control = **it;
    if (control.Visible() && control.TakesMouse() && Contains(control.WindowRect(), x, y)) {
      return &control;
    }
  }
  return nullptr;
}

Control* DialogControls::PointerTarget() {
  for (const auto& control : controls_) {
    if (control->HasCapture()) {
      return control.get();
    }
  }
  return MouseControlAt(pointerX_, pointerY_);
}

void DialogControls::PointerMoved(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  Control* under = MouseControlAt(x, y);
  if (leaveTracked_ != 0 && (under == nullptr || under->Id() != leaveTracked_)) {
    Control* left = Find(leaveTracked_);
    leaveTracked_ = 0;
    if (left != nullptr) {
      left->OnMouseLeave();
    }
  }
  if (Control* target = PointerTarget()) {
    target->OnMouseMove();
  }
}

void DialogControls::PointerLeftWindow() { PointerMoved(-1, -1); }

bool DialogControls::ButtonPress(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  Control* target = PointerTarget();
  if (target == nullptr) {
    return false;
  }
  target->OnLButtonDown();
  return true;
}

void DialogControls::ButtonRelease(int x, int y) {
  pointerX_ = x;
  pointerY_ = y;
  if (Control* target = PointerTarget()) {
    target->OnLButtonUp();
  }
}

void DialogControls::DropFiles(int x, int y, const std::vector<std::string>& paths) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if ((*it)->Visible() && Contains((*it)->WindowRect(), x, y)) {
      if (auto* label = dynamic_cast<CxStatic*>(it->get())) {
        label->OnDropFiles(paths);
        return;
      }
    }
  }
}

void DialogControls::Paint(platform::Canvas& canvas, const platform::Rect& area) {
  for (const auto& control : controls_) {
    const platform::Rect& r = control->WindowRect();
    if (!control->Visible() || r.Width() <= 0 || r.Height() <= 0 || !Intersects(r, area)) {
      continue;
    }
    canvas.SetOrigin(r.left, r.top);
    canvas.PushClip(control->ClientRect());
    control->Draw(canvas);
    canvas.PopClip();
    canvas.SetOrigin(0, 0);
  }
}

void DialogControls::InvalidateControl(int id) {
  if (Control* control = Find(id)) {
    host_.InvalidateArea(control->WindowRect());
  }
}

void DialogControls::RepaintAreaNow(const platform::Rect& area) { host_.RepaintAreaNow(area); }

bool DialogControls::IsCursorOver(int id) {
  const Control* under = MouseControlAt(pointerX_, pointerY_);
  return under != nullptr && under->Id() == id;
}

bool DialogControls::TrackMouseLeave(int id) {
  leaveTracked_ = id;
  return true;
}

void DialogControls::CancelMouseLeave(int id) {
  if (leaveTracked_ == id) {
    leaveTracked_ = 0;
  }
}

void DialogControls::TakeFocus(int id) {
  if (focused_ == id) {
    return;
  }
  Control* previous = Find(focused_);
  focused_ = id;
  if (previous != nullptr) {
    previous->OnKillFocus();
  }
}

void DialogControls::NotifyClicked(int id) { host_.ControlClicked(id); }

}  // namespace ui
