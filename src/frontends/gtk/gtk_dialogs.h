#pragma once
// Modal message boxes. On the UI thread the box runs at once; from a worker
// the box is shown by the UI thread and the worker waits for the answer.
#include <gtk/gtk.h>

#include <thread>

#include "platform/seam.h"

namespace frontends::gtk {

class GtkDialogs : public platform::Dialogs {
 public:
  // `parent` supplies the window the boxes belong to (may give nullptr).
  explicit GtkDialogs(std::function<GtkWindow*()> parent);

  void ShowMessage(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;

 private:
  // Runs one box on the UI thread, from whichever thread asks.
  int Run(const std::string& text, GtkButtonsType buttons);

  std::function<GtkWindow*()> parent_;
  std::thread::id uiThread_;
};

}  // namespace frontends::gtk
