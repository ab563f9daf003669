#pragma once
// The base of the window's child controls and what they need of the window
// that holds them. Controls are toolkit-neutral: they draw on a Canvas in
// their own client coordinates and learn about the mouse through calls.
#include "platform/canvas.h"

namespace ui {

class ControlHost {
 public:
  virtual ~ControlHost() = default;
  // Schedules a repaint of the control.
  virtual void InvalidateControl(int id) = 0;
  // Invalidates `area` (window client coordinates) and repaints it at once.
  virtual void RepaintAreaNow(const platform::Rect& area) = 0;
  // True when the control is the topmost window under the mouse pointer.
  virtual bool IsCursorOver(int id) = 0;
  // Asks for OnMouseLeave when the pointer leaves the control; false when
  // the request is refused.
  virtual bool TrackMouseLeave(int id) = 0;
  virtual void CancelMouseLeave(int id) = 0;
  // Gives the control the keyboard focus; the previous holder gets
  // OnKillFocus.
  virtual void TakeFocus(int id) = 0;
  // The control was clicked (BN_CLICKED to the parent).
  virtual void NotifyClicked(int id) = 0;
};

class Control {
 public:
  Control(int id, ControlHost& host, const platform::Rect& rect, bool visible)
      : id_(id), host_(host), rect_(rect), visible_(visible) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  int Id() const { return id_; }
  // Position in the window's client coordinates.
  const platform::Rect& WindowRect() const { return rect_; }
  platform::Rect ClientRect() const { return {0, 0, rect_.Width(), rect_.Height()}; }
  bool Visible() const { return visible_; }
  void Move(const platform::Rect& rect) { rect_ = rect; }
  void Show(bool visible) { visible_ = visible; }

  // Paints the control; the canvas' origin is the control's top-left corner.
  virtual void Draw(platform::Canvas& canvas) = 0;

  // Controls that take the mouse receive the calls below; the others let
  // presses through to the window (which then drags).
  virtual bool TakesMouse() const { return false; }
  virtual void OnMouseMove() {}
  virtual void OnMouseLeave() {}
  virtual void OnLButtonDown() {}
  virtual void OnLButtonUp() {}
  virtual void OnLButtonDblClk() {}
  virtual void OnKillFocus() {}
  // True while the control holds the mouse capture.
  virtual bool HasCapture() const { return false; }

 protected:
  ControlHost& Host() { return host_; }

 private:
  int id_;
  ControlHost& host_;
  platform::Rect rect_;
  bool visible_;
};

}  // namespace ui
