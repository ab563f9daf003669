#pragma once
// The news panel of the Win32 window. Where no HTML engine can be hosted
// (Debian's wine has none), the page is read as text by the console's HTML
// reader, so that its "RunClient" and "ServerBackUrl" still work, and the
// panel shows a short plain note instead of the page. The log says which
// reader is in use.
#include <windows.h>

#include <functional>

#include "frontends/console/http_web_panel.h"
#include "frontends/win32/gdi_object_win.h"
#include "platform/seam.h"

namespace frontends::win32 {

class Win32NewsPanel : public platform::WebPanel {
 public:
  // `deliver` queues a delivery for the UI thread (from the reader's worker).
  explicit Win32NewsPanel(std::function<void(console::HttpWebPanel::Delivery)> deliver);

  // Creates the panel's note as a child of `parent` at `rect` (client
  // coordinates); later calls move it.
  void Place(HWND parent, const platform::Rect& rect, bool visible);

  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  console::HttpWebPanel reader_;
  bool told_ = false;
  HWND note_ = nullptr;  // a child of the window, destroyed with it
  GdiObject<HFONT> font_;
};

}  // namespace frontends::win32
