#include "frontends/win32_window/news_panel.h"

#include <chrono>
#include <cstdio>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/text/ox_unicode.h"

namespace frontends::win32_window {
namespace {

constexpr wchar_t kPanelClass[] = L"farLaunchNewsPanel";
constexpr wchar_t kNote[] = L"此处无法显示网页，更新照常进行。";
// A page the control has fetched is there well within this, wherever an HTML
// engine is behind it.
constexpr auto kDocumentPatience = std::chrono::seconds(5);
constexpr UINT_PTR kDeadlineTimer = 1;
constexpr UINT kDeadlineCheckMs = 250;

// The player's console (when started from one) and farLaunch.log.
void Tell(const std::string& line) {
  std::fprintf(stderr, "farLaunch.exe: %s\n", line.c_str());
  const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
  if (root) root->GetChild("farLaunch")->Info("%s\n", line.c_str());
}

void RegisterPanelClass() {
  WNDCLASSEXW panelClass{};
  panelClass.cbSize = sizeof panelClass;
  panelClass.lpfnWndProc = DefWindowProcW;  // replaced per panel on creation
  panelClass.hInstance = GetModuleHandleW(nullptr);
  panelClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  panelClass.lpszClassName = kPanelClass;
  RegisterClassExW(&panelClass);  // a second panel finds it registered
}

}  // namespace

Win32NewsPanel::Win32NewsPanel(std::function<void(console::HttpWebPanel::Delivery)> deliver)
    : deliver_(deliver),
      reader_(std::move(deliver), [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
              ox_base::kLauncherCodePage) {}

Win32NewsPanel::~Win32NewsPanel() {
  choice_.reset();
  browser_.reset();
  if (oleReady_) OleUninitialize();
}

void Win32NewsPanel::Place(HWND parent, const platform::Rect& rect, bool visible) {
  if (panel_ == nullptr) Create(parent);
  MoveWindow(panel_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  ShowWindow(panel_, visible && rect.Width() > 0 && rect.Height() > 0 ? SW_SHOWNA : SW_HIDE);
}

void Win32NewsPanel::Create(HWND parent) {
  RegisterPanelClass();
  panel_ = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(panel_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(panel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanelProc));
  note_ = CreateWindowExW(0, L"STATIC", kNote, WS_CHILD | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 0, panel_, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  // A font with the note's Chinese glyphs, wherever the face is missing.
  font_.reset(CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
  SendMessageW(note_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

  std::string whyNoBrowser = "the browser control cannot be made: OleInitialize failed";
  oleReady_ = SUCCEEDED(OleInitialize(nullptr));
  if (oleReady_) browser_ = WebBrowserSite::Create(panel_, *this, whyNoBrowser);
  if (browser_) {
    SetTimer(panel_, kDeadlineTimer, kDeadlineCheckMs, nullptr);
  } else {
    ShowWindow(note_, SW_SHOWNA);
  }
  choice_ = std::make_unique<BrowserOrTextPanel>(
      browser_.get(), whyNoBrowser, reader_, kDocumentPatience, [] { return BrowserOrTextPanel::Clock::now(); },
      deliver_, [this](const std::string&) { GiveUpBrowser(); }, Tell);
}

void Win32NewsPanel::GiveUpBrowser() {
  KillTimer(panel_, kDeadlineTimer);
  browser_.reset();
  FitContents();
  ShowWindow(note_, SW_SHOWNA);
}

void Win32NewsPanel::FitContents() {
  RECT area;
  GetClientRect(panel_, &area);
  MoveWindow(note_, 0, 0, area.right, area.bottom, TRUE);
  if (browser_) browser_->FitToContainer();
}

LRESULT CALLBACK Win32NewsPanel::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32NewsPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    switch (message) {
      case WM_SIZE:
        self->FitContents();
        return 0;
      case WM_TIMER:
        if (wParam == kDeadlineTimer && self->choice_) self->choice_->CheckDeadline();
        return 0;
      case WM_DESTROY:
        // The control goes before the window it lives in.
        KillTimer(window, kDeadlineTimer);
        self->choice_.reset();
        self->browser_.reset();
        self->panel_ = nullptr;
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32NewsPanel::Navigate(const std::string& url) {
  if (choice_) {
    choice_->Navigate(url);
  } else {
    reader_.Navigate(url);
  }
}

std::string Win32NewsPanel::VisibleText() { return choice_ ? choice_->VisibleText() : reader_.VisibleText(); }

void Win32NewsPanel::NavigationEnded() {
  if (choice_) choice_->NavigationEnded();
}

void Win32NewsPanel::DocumentCompleted() {
  if (choice_) choice_->DocumentCompleted();
}

}  // namespace frontends::win32_window
