#include "frontends/gtk/gtk_dialogs.h"

#include <future>

#include "frontends/gtk/gtk_text.h"
#include "frontends/gtk/owned.h"

namespace frontends::gtk {
namespace {

int RunDialog(GtkWindow* parent, const std::string& text, GtkButtonsType buttons) {
  const TopLevelWidget dialog(
      gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, buttons, "%s", ToUtf8(text).c_str()));
  if (parent != nullptr) {
    gtk_window_set_title(GTK_WINDOW(dialog.get()), gtk_window_get_title(parent));
  }
  return gtk_dialog_run(GTK_DIALOG(dialog.get()));
}

}  // namespace

GtkDialogs::GtkDialogs(std::function<GtkWindow*()> parent)
    : parent_(std::move(parent)), uiThread_(std::this_thread::get_id()) {}

int GtkDialogs::Run(const std::string& text, GtkButtonsType buttons) {
  if (std::this_thread::get_id() == uiThread_) {
    return RunDialog(parent_(), text, buttons);
  }
  struct Request {
    GtkDialogs* self;
    std::string text;
    GtkButtonsType buttons;
    std::promise<int> answer;
  } request{this, text, buttons, {}};
  std::future<int> answer = request.answer.get_future();
  g_idle_add(
      [](gpointer data) -> gboolean {
        auto* r = static_cast<Request*>(data);
        r->answer.set_value(RunDialog(r->self->parent_(), r->text, r->buttons));
        return G_SOURCE_REMOVE;
      },
      &request);
  return answer.get();
}

void GtkDialogs::ShowMessage(const std::string& text) { Run(text, GTK_BUTTONS_OK); }

bool GtkDialogs::AskOkCancel(const std::string& text) { return Run(text, GTK_BUTTONS_OK_CANCEL) == GTK_RESPONSE_OK; }

}  // namespace frontends::gtk
