#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/gtk/gtk_test_support.h"
#include "support/recorded_failure_log.h"
#include "support/recording_http_server.h"
#include "support/temp_dir.h"
#include "ui/image_resources.h"

namespace {

// A local file is never shown: the page decides which server the game
// connects to.
TEST(GtkWebPanel, ReportsFinishedLoadsAndReadsTheVisibleTextOfWebPagesOnly) {
  const RecordedFailureLog log;
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
  // Once the engine has come, the local file is asked for first (as a
  // page's ServerBackUrl would), the publisher's page a while later.
  auto& panel = dynamic_cast<frontends::gtk::GtkWebPanel&>(gtk->GetWebPanel());
  int engineTick = -1;
  events.onTimer = [&](int) {
    ++timerTicks;
    if (engineTick < 0 && panel.Widget() != nullptr) {
      engineTick = timerTicks;
      panel.Navigate("FILE://" + local.string());
    }
    if (engineTick >= 0 && timerTicks == engineTick + 50) panel.Navigate(site.Url("/page.html"));
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
  EXPECT_EQ(gtk->Run(events), 0);
  EXPECT_FALSE(localShown);
  EXPECT_NE(log.Text().find("local.html): refused: the panel shows only http and https pages\n"), std::string::npos)
      << log.Text();
  EXPECT_EQ(text.find("local secret"), std::string::npos) << text;
  EXPECT_NE(text.find("Servers [[1;2;3]]"), std::string::npos) << text;
  EXPECT_NE(text.find("\xe9\x9b\xbe\xe6\xb8\xaf"), std::string::npos) << text;  // UTF-8 from the engine
  EXPECT_EQ(text.find("script text"), std::string::npos);
  EXPECT_EQ(text.find("comment"), std::string::npos);
  EXPECT_EQ(text.find("color"), std::string::npos);
}

// The engine's libraries take longer to load than all the rest of the
// window: the window draws its skin and answers without them, the engine
// loads off the UI thread, and a navigation asked for meanwhile is shown
// once it has come.
TEST(GtkWebPanel, TheWindowIsDrawnWhileTheEngineLoadsAndTheNavigationWaitsForIt) {
  std::atomic<bool> loading{false};
  std::atomic<bool> release{false};
  std::thread::id loadingThread;
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk =
      frontends::gtk::GtkPlatform::Create([&](std::string&) -> frontends::gtk::WebViewFactory {
        loadingThread = std::this_thread::get_id();
        loading = true;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!release && std::chrono::steady_clock::now() < end) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return &gtk_test::LinkedWebEngine;
      });
  GTK_TEST_NEEDS_DISPLAY(gtk);
  auto& panel = dynamic_cast<frontends::gtk::GtkWebPanel&>(gtk->GetWebPanel());
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  ASSERT_TRUE(gtk_test::PumpUntil([&] {
    return loading && gtk_test::Screenshot(std::string(FARLAUNCH_BINARY_DIR) +
                                           "/tests/frontends/gtk/web_panel_loading_screenshot.png")
                              .PixelAt(100, 300) == background.PixelAt(100, 300);
  })) << "the window was not drawn while the engine loaded";
  EXPECT_NE(loadingThread, std::this_thread::get_id());
  EXPECT_EQ(panel.Widget(), nullptr);
  EXPECT_EQ(panel.VisibleText(), "");

  RecordingHttpServer site;
  site.Put("/news.html", "<html><body><p>Harbour news</p></body></html>", "text/html");
  panel.Navigate(site.Url("/news.html"));
  release = true;
  gtk_test::RecordingEvents events;
  std::string text;
  events.onNavigateComplete = [&] {
    text = panel.VisibleText();
    gtk_window_close(gtk->MainWindow().Widget());
  };
  EXPECT_EQ(gtk->Run(events), 0);
  EXPECT_EQ(text, "Harbour news");
}

}  // namespace
