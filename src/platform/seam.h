#pragma once
// The platform seam: everything the launcher needs of the windowing system,
// the web engine, the shell and the operating system. The core (app/,
// update/, net/) talks only to these interfaces; the front ends in
// frontends/ (gtk, console) and the recording fake in tests/support
// implement them.
//
// Texts crossing the seam are byte strings in the launcher's code page
// (GBK by default), except where a comment says UTF-8. Backends convert at
// their own edge with ox_base::CodePageToUtf8 / Utf8ToCodePage.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

namespace platform {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Colours are COLORREF values: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

// Accepts posted window messages from any thread; the message is delivered
// later on the UI thread (WindowEvents::OnMessage). Never waits.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// The messages posted to the launcher window; their numbers are the
// original program's.
constexpr std::uint32_t WM_LAUNCHER_FIRST = 0x400;
// A download's progress: wParam 0, lParam the percentage 0..100.
constexpr std::uint32_t WM_DOWNLOAD_PROGRESS = WM_LAUNCHER_FIRST + 100;
// Posted by an update worker right after it set a completion code, so that
// the window shows the end at once instead of on its next timer tick.
constexpr std::uint32_t WM_UPDATE_COMPLETED = WM_LAUNCHER_FIRST + 101;

// The launcher window's controls by the ids of its dialog template: the
// launcher names them so, and every front end finds them so.
namespace controls {
constexpr int Background = 1001;
constexpr int ProgressControl = 1003;  // the native progress control
constexpr int PercentLabel = 1004;
constexpr int NewsPanel = 1005;  // the web panel
constexpr int SecondBrowser = 1006;
constexpr int StatusLabel = 1007;
constexpr int UnusedStatic = 1013;
constexpr int CurrentVersionLabel = 2024;
constexpr int LatestVersionLabel = 2050;
constexpr int UnusedCheckBox = 2070;
constexpr int UnusedPicture = 2072;
constexpr int CloseButton = 2021;
constexpr int ProgressBarButton = 2031;
constexpr int MinimiseButton = 2038;
constexpr int ClearCacheButton = 2077;
}  // namespace controls

// What the window delivers to the launcher, always on the UI thread.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnTimer(int timerId) = 0;
  virtual void OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // A click on a skinned button (BN_CLICKED), by control id.
  virtual void OnCommand(int controlId) = 0;
  // The web panel: a download of the page finished / a navigation finished.
  virtual void OnPageDownloadComplete() = 0;
  virtual void OnPageNavigateComplete() = 0;
};

// The main window and its child controls, by control id. UI thread only.
class Window {
 public:
  virtual ~Window() = default;
  // Moves a control (client coordinates) and shows or hides it.
  virtual void PlaceControl(int id, const Rect& rect, bool visible) = 0;
  // Creates a skinned push button with the PNG resource images of its states.
  virtual void CreateSkinButton(int id, const Rect& rect, int normalImage, int pressedImage, int hoverImage) = 0;
  // Replaces all images of a skinned button (as a second SetSkin does).
  virtual void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) = 0;
  virtual void SetLabelText(int id, const std::string& text) = 0;
  virtual void SetLabelColour(int id, Colour colour) = 0;
  virtual void SetLabelTransparent(int id, bool transparent) = 0;
  virtual void SetLabelFont(int id, const std::string& face, int height, int weight) = 0;
  // The native progress control: colours, range and value.
  virtual void SetupProgressControl(Colour background, Colour bar, int minimum, int maximum) = 0;
  virtual void SetProgressValue(int value) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetIcon(int iconResource) = 0;
  virtual void Minimise() = 0;
  virtual void Repaint(int id) = 0;
  // Shows the window in front of the others (restored when minimised): a
  // second start of the launcher in the same game directory asks for it.
  virtual void BringToFront() = 0;
};

// The UI thread's services. PostWindowMessage and RunOnUiThread may be called from
// any thread; timers are started and stopped on the UI thread.
class UiThread : public MessageTarget {
 public:
  virtual void StartTimer(int timerId, int periodMs) = 0;
  virtual void StopTimer(int timerId) = 0;
  // Runs the task later on the UI thread; does not wait.
  virtual void RunOnUiThread(std::function<void()> task) = 0;
};

// Modal message boxes, callable from any thread. The calling thread blocks
// until the user answers (a worker's box blocks that worker only).
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // True when the user chose OK.
  virtual bool AskOkCancel(const std::string& text) = 0;
};

// The embedded web panel (controls::NewsPanel). UI thread only.
class WebPanel {
 public:
  virtual ~WebPanel() = default;
  virtual void Navigate(const std::string& url) = 0;
  // The visible text of the whole loaded document, UTF-8; empty when there
  // is no document.
  virtual std::string VisibleText() = 0;
};

// What starting a program came to.
struct StartResult {
  bool started = false;
  std::string problem;  // why it did not start, in words
  explicit operator bool() const { return started; }
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts a program (a Windows-form name such as ".\client.exe" is
  // accepted) in the current directory. The parameter string is handed over
  // as one argument, without shell parsing.
  virtual StartResult StartProgram(const std::string& program, const std::string& parameters) = 0;
  // Opens an address in the user's browser.
  virtual bool OpenInBrowser(const std::string& url) = 0;
};

class System {
 public:
  virtual ~System() = default;
  // Free bytes of the volume that holds the current directory; false when
  // the figure cannot be had.
  virtual bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) = 0;
  // Ends the process. Every way out of the launcher goes through here so
  // that tests can observe it (the fake throws ExitRequested instead).
  // Not virtual itself, so that callers' compilers know it does not return.
  [[noreturn]] void Exit(int code) {
    EndProcess(code);
    std::abort();
  }

 protected:
  [[noreturn]] virtual void EndProcess(int code) = 0;
};

// Thrown by test doubles of System::Exit; real backends never throw it.
struct ExitRequested {
  int code;
};

// One backend: all services plus the loop that delivers WindowEvents.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual Window& GetWindow() = 0;
  virtual UiThread& GetUiThread() = 0;
  virtual Dialogs& GetDialogs() = 0;
  virtual WebPanel& GetWebPanel() = 0;
  virtual Shell& GetShell() = 0;
  virtual System& GetSystem() = 0;
  // Delivers window events to `events` until the window is closed through
  // the window manager; returns the exit code for that case, or
  // kClosedBySignal + the signal's number when the system closed it (a
  // log-out, a shut-down, Ctrl+C).
  virtual int Run(WindowEvents& events) = 0;
};

constexpr int kClosedBySignal = 128;

}  // namespace platform
