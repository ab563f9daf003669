#pragma once
// The child controls of the main window, built from its dialog template:
// where they are, which one the mouse is over, and painting them in order.
// A toolkit backend feeds it pointer events and paints through it.
#include <memory>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "ui/control.h"
#include "ui/plain_controls.h"
#include "ui/xskin_button.h"
#include "ui/xstatic.h"

namespace ui {

// What the toolkit window does for its controls.
class SurfaceHost {
 public:
  virtual ~SurfaceHost() = default;
  virtual void InvalidateArea(const platform::Rect& area) = 0;
  virtual void RepaintAreaNow(const platform::Rect& area) = 0;
  virtual void ControlClicked(int id) = 0;
};

class DialogControls : public ControlHost {
 public:
  DialogControls(const res::DialogTemplate& dialog, SurfaceHost& host);

  // Moves a control and shows or hides it; unknown ids are ignored.
  void PlaceControl(int id, const platform::Rect& rect, bool visible);
  // A skinned push button with PNG images, drawn at natural size.
  void CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage, int hoverImage);
  void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage);

  // The control of that id and class, or nullptr.
  Control* Find(int id);
  CxStatic* Label(int id);
  CxSkinButton* Button(int id);
  ProgressControl* Progress(int id);

  // Pointer input in window client coordinates. ButtonPress answers whether
  // a control took the press; otherwise the press belongs to the window.
  void PointerMoved(int x, int y);
  void PointerLeftWindow();
  bool ButtonPress(int x, int y);
  void ButtonRelease(int x, int y);
  // Files dropped at (x, y) reach the label there, if any.
  void DropFiles(int x, int y, const std::vector<std::string>& paths);

  // Paints every visible control meeting `area`, in creation order.
  void Paint(platform::Canvas& canvas, const platform::Rect& area);

  // ControlHost
  void InvalidateControl(int id) override;
  void RepaintAreaNow(const platform::Rect& area) override;
  bool IsCursorOver(int id) override;
  bool TrackMouseLeave(int id) override;
  void CancelMouseLeave(int id) override;
  void TakeFocus(int id) override;
  void NotifyClicked(int id) override;

 private:
  // The topmost visible control under the point that takes the mouse.
  Control* MouseControlAt(int x, int y);
  Control* PointerTarget();

  SurfaceHost& host_;
  std::vector<std::unique_ptr<Control>> controls_;  // creation order = painting order
  int pointerX_ = -1;
  int pointerY_ = -1;
  int leaveTracked_ = 0;
  int focused_ = 0;
};

}  // namespace ui
