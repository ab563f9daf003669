#include "frontends/win32/win32_news_panel_win.h"

#include <cstdio>

#include "base/ox_base.h"
#include "base/ox_log.h"
#include "base/ox_unicode.h"

namespace frontends::win32 {
namespace {

constexpr wchar_t kNote[] = L"此处无法显示网页，更新照常进行。";

}  // namespace

Win32NewsPanel::Win32NewsPanel(std::function<void(console::HttpWebPanel::Delivery)> deliver)
    : reader_(std::move(deliver), [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); },
              ox_base::kLauncherCodePage) {}

void Win32NewsPanel::Place(HWND parent, const platform::Rect& rect, bool visible) {
  if (note_ == nullptr) {
    note_ = CreateWindowExW(0, L"STATIC", kNote, WS_CHILD | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 0, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    // A font with the note's Chinese glyphs, wherever the face is missing.
    font_.reset(CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
    SendMessageW(note_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  MoveWindow(note_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
  ShowWindow(note_, visible && rect.Width() > 0 && rect.Height() > 0 ? SW_SHOWNA : SW_HIDE);
}

void Win32NewsPanel::Navigate(const std::string& url) {
  if (!told_) {
    told_ = true;
    // The player's console (when started from one) and farLaunch.log.
    std::fprintf(stderr, "farLaunch.exe: news page read as text: no HTML engine is hosted\n");
    const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
    if (root) {
      root->GetChild("farLaunch")->Info("news page read as text: no HTML engine is hosted\n");
    }
  }
  reader_.Navigate(url);
}

std::string Win32NewsPanel::VisibleText() { return reader_.VisibleText(); }

}  // namespace frontends::win32
