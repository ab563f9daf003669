#include "frontends/gtk/accessibility_bridge.h"

#include <atk-bridge.h>

#include <cstdlib>

namespace frontends::gtk {

namespace {
constexpr const char* kNoBridge = "NO_AT_BRIDGE";
}  // namespace

AccessibilityBridge::AccessibilityBridge() : heldBack_(std::getenv(kNoBridge) == nullptr) {
  if (heldBack_) setenv(kNoBridge, "1", 1);
}

void AccessibilityBridge::InitDone() {
  if (heldBack_) unsetenv(kNoBridge);
}

void AccessibilityBridge::Start() {
  if (heldBack_) {
    heldBack_ = false;
    atk_bridge_adaptor_init(nullptr, nullptr);
  }
}

}  // namespace frontends::gtk
