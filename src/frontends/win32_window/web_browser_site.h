#pragma once
// A small OLE container of our own for the WebBrowser control (IWebBrowser2):
// the client site, in-place site and frame it asks its container for, and
// the sink of its DWebBrowserEvents2. The control fills a window of ours.
// The site lives as long as its owner (no counted lifetime): the control is
// closed and released before it goes. UI thread only (a single-threaded
// apartment, OleInitialize'd by the owner).
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ole2.h>

#include <memory>
#include <optional>
#include <string>

#include "frontends/win32_window/browser_or_text_panel.h"

namespace frontends::win32_window {

class WebBrowserSite final : public EmbeddedBrowser,
                             public IOleClientSite,
                             public IOleInPlaceSite,
                             public IOleInPlaceFrame,
                             public IDispatch {
 public:
  // What the control reports.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void NavigationEnded() = 0;
    virtual void DocumentCompleted() = 0;
  };

  // The control, in place in `container` and filling it; null when it
  // cannot be made (`problem` says why).
  static std::unique_ptr<WebBrowserSite> Create(HWND container, Listener& listener, std::string& problem);
  ~WebBrowserSite() override;
  WebBrowserSite(const WebBrowserSite&) = delete;
  WebBrowserSite& operator=(const WebBrowserSite&) = delete;

  // Fits the control to its container's client area.
  void FitToContainer();

  // EmbeddedBrowser
  bool Navigate(const std::string& url) override;
  bool HasDocument() override;
  std::optional<std::string> BodyText() override;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (of both the in-place site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                             RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT*) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, tool space or
  // accelerators of ours.
  HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(const BORDERWIDTHS*) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(const BORDERWIDTHS*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

  // IDispatch: the events of DWebBrowserEvents2
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

 private:
  WebBrowserSite(HWND container, Listener& listener) : container_(container), listener_(listener) {}
  // Embeds, activates and subscribes; S_OK or the failing call's result
  // (`step` names it).
  HRESULT Embed(const char*& step);
  bool IsTheTopFrame(IUnknown* frame) const;
  // The control's HTML document, complete or not; false when there is none.
  bool Document(IHTMLDocument2** document);

  HWND container_;
  Listener& listener_;
  IOleObject* object_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* events_ = nullptr;
  DWORD cookie_ = 0;
};

}  // namespace frontends::win32_window
