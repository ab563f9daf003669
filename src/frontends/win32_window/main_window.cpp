#include "frontends/win32_window/main_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <utility>
#include <vector>

#include "base/text/ox_wide_text_win.h"
#include "frontends/win32_window/text.h"
#include "res/dialog_template.h"

namespace frontends::win32_window {
namespace {

constexpr wchar_t kWindowClass[] = L"farLaunchWindow";
constexpr platform::Colour kColourKey = platform::Rgb(204, 204, 204);
// A task posted with PostTask; lParam holds it. Above the launcher's own
// messages (WM_USER + n) so the two never meet.
constexpr UINT kRunTask = WM_APP + 1;

const res::DialogTemplate& MainDialog() { return *res::FindDialogTemplate(res::kMainDialogTemplate); }

void RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window on creation
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // a second window finds it registered
}

RECT ToRect(const platform::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

Win32MainWindow::Win32MainWindow(WindowSink& sink, Win32NewsPanel& newsPanel)
    : ControlsWindow(controls_),
      sink_(sink),
      newsPanel_(newsPanel),
      controls_(MainDialog(), *this),
      backing_(MainDialog().width, MainDialog().height) {
  RegisterWindowClass();
  const res::DialogTemplate& dialog = MainDialog();
  // Layered with a colour key: the key colour of the skin is neither drawn
  // nor clickable, which gives the window its outline.
  window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW | WS_EX_ACCEPTFILES, kWindowClass, L"",
                            WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, dialog.width, dialog.height, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) {
    return;
  }
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
  SetLayeredWindowAttributes(window_, kColourKey, 0, LWA_COLORKEY);
  for (const res::DialogItem& item : dialog.items) {
    if (item.id == platform::controls::NewsPanel) {
      newsPanel_.Place(window_, item.rect, (item.style & res::style::kVisible) != 0);
    }
  }
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

Win32MainWindow::~Win32MainWindow() {
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  // Tasks still queued for the window went with it unrun; their closures
  // are freed here.
  MSG message;
  while (PeekMessageW(&message, nullptr, kRunTask, kRunTask, PM_REMOVE)) {
    delete reinterpret_cast<std::function<void()>*>(message.lParam);
  }
}

bool Win32MainWindow::PostTask(std::function<void()> task) {
  auto* queued = new std::function<void()>(std::move(task));
  if (window_ == nullptr || !PostMessageW(window_, kRunTask, 0, reinterpret_cast<LPARAM>(queued))) {
    delete queued;
    return false;
  }
  return true;
}

void Win32MainWindow::Withdraw() { ShowWindow(window_, SW_HIDE); }

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel
    case WM_MOUSEMOVE:
      PointerMoved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (GetCapture() != window_) {
        controls_.PointerLeftWindow();
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (controls_.ButtonPress(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
        // The button sees the release wherever the pointer is by then.
        SetCapture(window_);
      } else {
        // The background and the labels are the window's caption.
        ReleaseCapture();
        SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window_) {
        ReleaseCapture();
      }
      controls_.ButtonRelease(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      sink_.CloseRequested();
      return 0;  // the window stays until the launcher ends
    case WM_QUERYENDSESSION:
      // The system ends the process soon after it has sent WM_ENDSESSION:
      // the launcher starts putting its files in order now.
      sink_.SessionEnding();
      return TRUE;
    case WM_TIMER:
      sink_.Timer(static_cast<int>(wParam));
      return 0;
    case kRunTask: {
      const std::unique_ptr<std::function<void()>> task(reinterpret_cast<std::function<void()>*>(lParam));
      (*task)();
      return 0;
    }
    default:
      if (message >= platform::WM_LAUNCHER_FIRST && message < WM_APP) {
        sink_.LauncherMessage(message, wParam, lParam);
        return 0;
      }
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Win32MainWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC target = BeginPaint(window_, &paint);
  const RECT& r = paint.rcPaint;
  const platform::Rect area{r.left, r.top, r.right, r.bottom};
  backing_.PushClip(area);
  controls_.Paint(backing_, area);
  backing_.PopClip();
  BitBlt(target, area.left, area.top, area.Width(), area.Height(), backing_.Dc(), area.left, area.top, SRCCOPY);
  EndPaint(window_, &paint);
}

void Win32MainWindow::PointerMoved(int x, int y) {
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  controls_.PointerMoved(x, y);
}

void Win32MainWindow::DropFiles(HDROP drop) {
  POINT point{};
  DragQueryPoint(drop, &point);
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(ox_base::Utf8FromWide(path));  // file names are UTF-8 inside
  }
  DragFinish(drop);
  controls_.DropFiles(point.x, point.y, paths);
}

void Win32MainWindow::PlaceControl(int id, const platform::Rect& rect, bool visible) {
  if (id == platform::controls::NewsPanel) {
    newsPanel_.Place(window_, rect, visible);
  }
  controls_.PlaceControl(id, rect, visible);
}

void Win32MainWindow::SetCaption(const std::string& caption) { SetWindowTextW(window_, WideText(caption).c_str()); }

void Win32MainWindow::SetIcon(int iconResource) {
  // The program's own icon resource, in the sizes of the task bar and the
  // caption; shared icons are freed by the system.
  for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
    const int size = GetSystemMetrics(metric);
    if (HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource), IMAGE_ICON, size, size,
                                 LR_SHARED)) {
      SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
  }
}

void Win32MainWindow::Minimise() { ShowWindow(window_, SW_MINIMIZE); }

void Win32MainWindow::BringToFront() {
  if (IsIconic(window_)) {
    ShowWindow(window_, SW_RESTORE);
  }
  SetForegroundWindow(window_);
}

void Win32MainWindow::InvalidateArea(const platform::Rect& area) {
  if (area.Width() > 0 && area.Height() > 0) {
    const RECT r = ToRect(area);
    InvalidateRect(window_, &r, FALSE);
  }
}

void Win32MainWindow::RepaintAreaNow(const platform::Rect& area) {
  if (area.Width() > 0 && area.Height() > 0) {
    const RECT r = ToRect(area);
    RedrawWindow(window_, &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

void Win32MainWindow::ControlClicked(int id) { sink_.Command(id); }

}  // namespace frontends::win32_window
