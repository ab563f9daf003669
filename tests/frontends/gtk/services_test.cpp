#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/gtk/gtk_test_support.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(GioShell, StartsAProgramWithItsParametersAsOneArgument) {
  TempDir dir;
  const fs::path script = dir.Path() / "client.sh";
  const fs::path out = dir.Path() / "args.txt";
  std::ofstream(script) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << out.string() << ".tmp'\nmv '"
                        << out.string() << ".tmp' '" << out.string() << "'\n";
  fs::permissions(script, fs::perms::owner_all);
  frontends::gtk::GioShell shell;
  // GBK parameters arrive in UTF-8, untouched by any shell.
  ASSERT_TRUE(shell.StartProgram(script.string(), "ur;user=\xce\xed;pass=$HOME `x` *"));
  ASSERT_TRUE(gtk_test::PumpUntil([&] { return fs::exists(out); }));
  EXPECT_EQ(ReadFile(out), "1|ur;user=\xe9\x9b\xbe;pass=$HOME `x` *|");

  EXPECT_FALSE(shell.StartProgram((dir.Path() / "missing.exe").string(), ""));
}

TEST(GioShell, WindowsProgramNeedsARunner) {
  TempDir dir;
  const fs::path exe = dir.Path() / "client.exe";
  std::ofstream(exe) << "MZ\x90";
  fs::permissions(exe, fs::perms::owner_all);
  gchar* wine = g_find_program_in_path("wine");
  const bool haveWine = wine != nullptr;
  g_free(wine);
  if (haveWine) {
    GTEST_SKIP() << "wine is installed";
  }
  // Without wine a Windows program cannot start; it is never exec'd as is.
  EXPECT_FALSE(frontends::gtk::GioShell().StartProgram(exe.string(), "x"));
}

TEST(GtkDialogs, WorkerWaitsForTheAnswerGivenOnTheUiThread) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  std::atomic<int> answered{0};
  bool answer = false;
  std::thread worker([&] {
    answer = gtk->GetDialogs().AskOkCancel("\xca\xc7\xb7\xf1\xbc\xcc\xd0\xf8\xa3\xbf");  // "是否继续？"
    answered = 1;
  });
  // The box runs its own loop on this thread; answer it from in there.
  struct Answerer {
    std::atomic<int>& answered;
    std::string shownText;
    bool answeredBeforeResponse = true;
  } answerer{answered, {}};
  g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        auto* a = static_cast<Answerer*>(data);
        GtkWidget* dialog = nullptr;
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w != nullptr; w = w->next) {
          if (GTK_IS_MESSAGE_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
            dialog = GTK_WIDGET(w->data);
          }
        }
        g_list_free(windows);
        if (dialog == nullptr) {
          return G_SOURCE_CONTINUE;
        }
        gchar* text = nullptr;
        g_object_get(dialog, "text", &text, nullptr);
        a->shownText = text != nullptr ? text : "";
        g_free(text);
        a->answeredBeforeResponse = a->answered == 1;
        gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
        return G_SOURCE_REMOVE;
      },
      &answerer);
  ASSERT_TRUE(gtk_test::PumpUntil([&] { return answered == 1; }));
  EXPECT_FALSE(answerer.answeredBeforeResponse);
  EXPECT_EQ(answerer.shownText, "是否继续？");
  worker.join();
  EXPECT_TRUE(answer);
}

}  // namespace
