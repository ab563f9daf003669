#pragma once
// The news panel of the Win32 window: the WebBrowser control in a child
// window of its own, whose finished documents are read for the page bridge.
// Where the control has no HTML engine (Debian's wine has none) or cannot be
// made, the page is read as text by the console's HTML reader, so that its
// "RunClient" and "ServerBackUrl" still work, and the panel shows a short
// plain note instead of the page. The log says which reader is in use.
#include <windows.h>

#include <functional>
#include <memory>

#include "frontends/console/http_web_panel.h"
#include "frontends/win32_window/browser_or_text_panel.h"
#include "frontends/win32_window/gdi_object.h"
#include "frontends/win32_window/web_browser_site.h"
#include "platform/seam.h"

namespace frontends::win32_window {

class Win32NewsPanel : public platform::WebPanel, private WebBrowserSite::Listener {
 public:
  // `deliver` queues a delivery for the UI thread (from any thread).
  explicit Win32NewsPanel(std::function<void(console::HttpWebPanel::Delivery)> deliver);
  ~Win32NewsPanel() override;
  Win32NewsPanel(const Win32NewsPanel&) = delete;
  Win32NewsPanel& operator=(const Win32NewsPanel&) = delete;

  // Creates the panel as a child of `parent` at `rect` (client
  // coordinates), with the browser control in it; later calls move it.
  void Place(HWND parent, const platform::Rect& rect, bool visible);

  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Create(HWND parent);
  void GiveUpBrowser();
  void FitContents();
  // WebBrowserSite::Listener
  void NavigationEnded() override;
  void DocumentCompleted() override;

  std::function<void(console::HttpWebPanel::Delivery)> deliver_;
  console::HttpWebPanel reader_;
  bool oleReady_ = false;
  HWND panel_ = nullptr;  // a child of the window, destroyed with it
  HWND note_ = nullptr;   // the panel's child, shown once the page is read as text
  GdiObject<HFONT> font_;
  std::unique_ptr<WebBrowserSite> browser_;
  std::unique_ptr<BrowserOrTextPanel> choice_;  // from the panel's creation to its destruction
};

}  // namespace frontends::win32_window
