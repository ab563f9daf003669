#pragma once
// Dialog template 102: the main window and the controls it is built from.
// Styles are the window-style bits of the original template; rectangles are
// the controls' first positions in client pixels (start-up moves them).
#include <cstdint>
#include <vector>

#include "platform/seam.h"

namespace res {

constexpr int kMainDialogTemplate = 102;

namespace style {
constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kStaticLeft = 0x0;
constexpr std::uint32_t kStaticBitmap = 0xE;
constexpr std::uint32_t kStaticNotify = 0x100;
constexpr std::uint32_t kButtonPush = 0x0;
constexpr std::uint32_t kButtonAutoCheckBox = 0x3;
}  // namespace style

// Which of the launcher's control classes a template control is bound to.
enum class ControlKind {
  BackgroundBitmap,  // plain picture static showing a bitmap resource
  PictureCtrl,       // CPictureCtrl
  SkinButton,        // CxSkinButton
  Label,             // CxStatic
  ProgressBar,       // the platform's progress control
  WebBrowser,        // the embedded web browser
  PlainStatic,
  PlainPicture,
  CheckBox,
};

struct DialogItem {
  int id;
  ControlKind kind;
  std::uint32_t style;
  platform::Rect rect;
  int bitmapResource;  // for BackgroundBitmap, else 0
};

struct DialogTemplate {
  std::uint32_t style;
  const char* fontFace;  // code page 936
  int fontPoints;
  int width;
  int height;
  std::vector<DialogItem> items;  // in creation (and drawing) order
};

// The template with that id, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace res
