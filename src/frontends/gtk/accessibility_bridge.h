#pragma once
// GTK connects the window to the accessibility bus (D-Bus, and on a
// session's first start the bus's own launch) inside gtk_init, before the
// window can draw anything. The launcher holds the bridge back there and
// starts it once the first frame is on the screen: screen readers still
// find the window, a moment later.
namespace frontends::gtk {

class AccessibilityBridge {
 public:
  // Before gtk_init: holds GTK's bridge back, unless the user's
  // environment already decides about it (NO_AT_BRIDGE).
  AccessibilityBridge();
  // After gtk_init: the environment is as the user left it again (the
  // programs the launcher starts inherit it).
  void InitDone();
  // Starts the bridge that was held back; once.
  void Start();

 private:
  bool heldBack_ = false;
};

}  // namespace frontends::gtk
