#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/gtk/gtk_test_support.h"
#include "support/recording_http_server.h"
#include "support/temp_dir.h"

namespace {

// A local file is never shown: the page decides which server the game
// connects to.
TEST(GtkWebPanel, ReportsFinishedLoadsAndReadsTheVisibleTextOfWebPagesOnly) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  const TempDir dir;
  const std::filesystem::path local = dir.Path() / "local.html";
  std::ofstream(local) << "<html><body>local secret</body></html>";
  RecordingHttpServer site;
  site.Put("/page.html",
           "<html><head><meta charset=\"utf-8\"><style>p { color: red }</style><script>var hidden = 'script "
           "text';</script></head><body><p>Servers [[1;2;3]]</p><!-- a comment --><div>"
           "\xe9\x9b\xbe\xe6\xb8\xaf</div></body></html>",
           "text/html");
  gtk_test::RecordingEvents events;
  std::string text;
  bool localShown = false;
  int completes = 0;
  int timerTicks = 0;
  // The local file is asked for first (as a page's ServerBackUrl would),
  // the publisher's page a while later.
  events.onTimer = [&](int) {
    if (++timerTicks == 50) gtk->GetWebPanel().Navigate(site.Url("/page.html"));
  };
  events.onNavigateComplete = [&] {
    // The panel is told first, so the launcher can size it before reading.
    EXPECT_EQ(events.downloadCompletes, ++completes);
    const int ticksBefore = timerTicks;
    text = gtk->GetWebPanel().VisibleText();
    // No launcher handler runs while the text is awaited.
    EXPECT_EQ(timerTicks, ticksBefore);
    localShown = localShown || text.find("local secret") != std::string::npos;
    if (text.find("Servers") != std::string::npos) gtk_window_close(gtk->MainWindow().Widget());
  };
  gtk->GetUiThread().StartTimer(1, 10);
  gtk->GetWebPanel().Navigate("FILE://" + local.string());
  EXPECT_EQ(gtk->Run(events), 0);
  EXPECT_FALSE(localShown);
  EXPECT_EQ(text.find("local secret"), std::string::npos) << text;
  EXPECT_NE(text.find("Servers [[1;2;3]]"), std::string::npos) << text;
  EXPECT_NE(text.find("\xe9\x9b\xbe\xe6\xb8\xaf"), std::string::npos) << text;  // UTF-8 from the engine
  EXPECT_EQ(text.find("script text"), std::string::npos);
  EXPECT_EQ(text.find("comment"), std::string::npos);
  EXPECT_EQ(text.find("color"), std::string::npos);
}

}  // namespace
