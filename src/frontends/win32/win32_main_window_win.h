#pragma once
// The launcher's one window on Win32: borderless, layered, its outline cut
// by the colour key of the background bitmap; the skinned controls drawn on
// a GDI canvas and copied to the screen; a press on the background drags it.
#include <windows.h>

#include <functional>
#include <memory>

#include "frontends/win32/gdi_canvas_win.h"
#include "frontends/win32/win32_news_panel_win.h"
#include "platform/seam.h"
#include "ui/dialog_controls.h"

namespace frontends::win32 {

// What the window hands on, on the UI thread.
class WindowSink {
 public:
  virtual ~WindowSink() = default;
  virtual void Command(int controlId) = 0;
  // The close button of the task bar or Alt+F4: the window stays until the
  // launcher ends.
  virtual void CloseRequested() = 0;
  // The system is ending the session.
  virtual void SessionEnding() = 0;
  virtual void Timer(int timerId) = 0;
  virtual void LauncherMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

class Win32MainWindow : public platform::Window, public ui::SurfaceHost {
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

  // platform::Window
  void PlaceControl(int id, const platform::Rect& rect, bool visible) override;
  void CreateSkinButton(int id, const platform::Rect& rect, int normalImage, int pressedImage, int hoverImage) override;
  void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) override;
  void SetLabelText(int id, const std::string& text) override;
  void SetLabelColour(int id, platform::Colour colour) override;
  void SetLabelTransparent(int id, bool transparent) override;
  void SetLabelFont(int id, const std::string& face, int height, int weight) override;
  void SetupProgressControl(platform::Colour background, platform::Colour bar, int minimum, int maximum) override;
  void SetProgressValue(int value) override;
  void SetCaption(const std::string& caption) override;
  void SetIcon(int iconResource) override;
  void Minimise() override;
  void Repaint(int id) override;
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

}  // namespace frontends::win32
