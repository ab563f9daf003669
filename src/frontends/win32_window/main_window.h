#pragma once
// The launcher's one window on Win32: borderless, layered, its outline cut
// by the colour key of the background bitmap; the skinned controls drawn on
// a GDI canvas and copied to the screen; a press on the background drags it.
#include <windows.h>

#include <functional>
#include <memory>

#include "frontends/win32_window/gdi_canvas.h"
#include "frontends/win32_window/news_panel.h"
#include "platform/seam.h"
#include "ui/controls_window.h"
#include "ui/dialog_controls.h"

namespace frontends::win32_window {

// What the window hands on, on the UI thread.
class WindowSink {
 public:
  virtual ~WindowSink() = default;
  virtual void Command(int controlId) = 0;
  // The close button of the task bar or Alt+F4: the window stays until the
  // launcher ends.
  virtual void CloseRequested() = 0;
  // The system is ending the session (a log-off or a shut-down).
  virtual void SessionEnding() = 0;
  virtual void Timer(int timerId) = 0;
  virtual void LauncherMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

class Win32MainWindow : public ui::ControlsWindow, public ui::SurfaceHost {
 public:
  // Creates the window and shows it, its first frame drawn before this
  // returns; the news panel's note is placed on it.
  Win32MainWindow(WindowSink& sink, Win32NewsPanel& newsPanel);
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  HWND Handle() const { return window_; }
  // Runs `task` on the window's thread later; from any thread. False when
  // the window is gone (the task is dropped).
  bool PostTask(std::function<void()> task);
  // Takes the window off the screen at once.
  void Withdraw();

  // platform::Window (the controls' part is ControlsWindow's)
  void PlaceControl(int id, const platform::Rect& rect, bool visible) override;
  void SetCaption(const std::string& caption) override;
  void SetIcon(int iconResource) override;
  void Minimise() override;
  void BringToFront() override;

  // ui::SurfaceHost
  void InvalidateArea(const platform::Rect& area) override;
  void RepaintAreaNow(const platform::Rect& area) override;
  void ControlClicked(int id) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void PointerMoved(int x, int y);
  void DropFiles(HDROP drop);

  WindowSink& sink_;
  Win32NewsPanel& newsPanel_;
  ui::DialogControls controls_;
  GdiCanvas backing_;  // the window's pixels, repainted on demand
  bool trackingLeave_ = false;
  HWND window_ = nullptr;
};

}  // namespace frontends::win32_window
