#include "frontends/win32_window/web_browser_site.h"

#include <exdispid.h>

#include <cstdio>

#include "base/text/ox_wide_text_win.h"
#include "frontends/win32_window/text.h"

namespace frontends::win32_window {
namespace {

// Releases a COM reference when it goes out of scope.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  Interface* operator->() const { return pointer_; }
  Interface* Get() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

std::string HresultText(HRESULT result) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lx", static_cast<unsigned long>(result));
  return hex;
}

}  // namespace

std::unique_ptr<WebBrowserSite> WebBrowserSite::Create(HWND container, Listener& listener, std::string& problem) {
  std::unique_ptr<WebBrowserSite> site(new WebBrowserSite(container, listener));
  const char* step = "";
  const HRESULT result = site->Embed(step);
  if (FAILED(result)) {
    problem = std::string("the browser control cannot be made: ") + step + " failed with " + HresultText(result);
    return nullptr;
  }
  return site;
}

HRESULT WebBrowserSite::Embed(const char*& step) {
  step = "CoCreateInstance(CLSID_WebBrowser)";
  HRESULT result = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(&object_));
  if (FAILED(result)) return result;
  step = "SetClientSite";
  if (FAILED(result = object_->SetClientSite(static_cast<IOleClientSite*>(this)))) return result;
  OleSetContainedObject(object_, TRUE);
  RECT area;
  GetClientRect(container_, &area);
  step = "DoVerb(OLEIVERB_INPLACEACTIVATE)";
  result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, container_, &area);
  if (FAILED(result)) return result;
  step = "QueryInterface(IWebBrowser2)";
  if (FAILED(result = object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) return result;
  // Script errors of a page are not the player's business: no dialogs.
  browser_->put_Silent(VARIANT_TRUE);
  step = "the browser's DWebBrowserEvents2";
  ComRef<IConnectionPointContainer> points;
  if (FAILED(result = browser_->QueryInterface(IID_IConnectionPointContainer, points.OutVoid()))) return result;
  if (FAILED(result = points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_))) return result;
  return events_->Advise(static_cast<IDispatch*>(this), &cookie_);
}

WebBrowserSite::~WebBrowserSite() {
  if (events_ != nullptr) {
    if (cookie_ != 0) events_->Unadvise(cookie_);
    events_->Release();
  }
  if (browser_ != nullptr) {
    browser_->Stop();
    browser_->Release();
  }
  if (object_ != nullptr) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
  }
}

void WebBrowserSite::FitToContainer() {
  ComRef<IOleInPlaceObject> inPlace;
  if (object_ == nullptr || FAILED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.OutVoid()))) return;
  RECT area;
  GetClientRect(container_, &area);
  inPlace->SetObjectRects(&area, &area);
}

bool WebBrowserSite::Navigate(const std::string& url) {
  BSTR address = SysAllocString(WideText(url).c_str());
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = browser_->Navigate(address, &none, &none, &none, &none);
  SysFreeString(address);
  return SUCCEEDED(result);
}

bool WebBrowserSite::Document(IHTMLDocument2** document) {
  ComRef<IDispatch> dispatch;
  return SUCCEEDED(browser_->get_Document(dispatch.Out())) && dispatch.Get() != nullptr &&
         SUCCEEDED(dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document)));
}

bool WebBrowserSite::HasDocument() {
  ComRef<IHTMLDocument2> document;
  return Document(document.Out());
}

std::optional<std::string> WebBrowserSite::BodyText() {
  ComRef<IHTMLDocument2> document;
  if (!Document(document.Out())) return std::nullopt;
  ComRef<IHTMLElement> body;
  if (FAILED(document->get_body(body.Out())) || body.Get() == nullptr) return std::nullopt;
  BSTR text = nullptr;
  if (FAILED(body->get_innerText(&text))) return std::nullopt;
  std::string utf8 = text != nullptr ? ox_base::Utf8FromWide(std::wstring(text, SysStringLen(text))) : "";
  SysFreeString(text);
  return utf8;
}

bool WebBrowserSite::IsTheTopFrame(IUnknown* frame) const {
  // COM identity: both asked for IUnknown.
  ComRef<IUnknown> theirs;
  ComRef<IUnknown> ours;
  return frame != nullptr && SUCCEEDED(frame->QueryInterface(IID_IUnknown, theirs.OutVoid())) &&
         SUCCEEDED(browser_->QueryInterface(IID_IUnknown, ours.OutVoid())) && theirs.Get() == ours.Get();
}

HRESULT WebBrowserSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *object = static_cast<IOleInPlaceFrame*>(this);
  } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *object = static_cast<IDispatch*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  return S_OK;
}

HRESULT WebBrowserSite::GetContainer(IOleContainer** container) {
  *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT WebBrowserSite::GetWindow(HWND* window) {
  *window = container_;
  return S_OK;
}

HRESULT WebBrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                         RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) {
  *frame = static_cast<IOleInPlaceFrame*>(this);
  *document = nullptr;
  GetClientRect(container_, position);
  *clip = *position;
  frameInfo->fMDIApp = FALSE;
  frameInfo->hwndFrame = GetAncestor(container_, GA_ROOT);
  frameInfo->haccel = nullptr;
  frameInfo->cAccelEntries = 0;
  return S_OK;
}

HRESULT WebBrowserSite::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT WebBrowserSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
  switch (id) {
    case DISPID_NAVIGATECOMPLETE2:
      listener_.NavigationEnded();
      break;
    case DISPID_DOCUMENTCOMPLETE:
      // The arguments come last first: the frame is the first of two.
      if (parameters != nullptr && parameters->cArgs == 2 && V_VT(&parameters->rgvarg[1]) == VT_DISPATCH &&
          IsTheTopFrame(V_DISPATCH(&parameters->rgvarg[1]))) {
        listener_.DocumentCompleted();
      }
      break;
    default:
      break;
  }
  return S_OK;
}

}  // namespace frontends::win32_window
