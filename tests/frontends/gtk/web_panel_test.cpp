#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/gtk/gtk_test_support.h"
#include "support/temp_dir.h"

namespace {

TEST(GtkWebPanel, ReportsFinishedLoadsAndReadsTheVisibleText) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = frontends::gtk::GtkPlatform::Create();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  const TempDir dir;
  const std::filesystem::path page = dir.Path() / "page.html";
  std::ofstream(page) << "<html><head><meta charset=\"utf-8\"><style>p { color: red }</style><script>var hidden = 'script text';</script>"
                         "</head><body><p>Servers [[1;2;3]]</p><!-- a comment --><div>"
                         "\xe9\x9b\xbe\xe6\xb8\xaf</div></body></html>";
  gtk_test::RecordingEvents events;
  std::string text;
  int timerTicks = 0;
  events.onTimer = [&](int) { ++timerTicks; };
  events.onNavigateComplete = [&] {
    // The panel is told first, so the launcher can size it before reading.
    EXPECT_EQ(events.downloadCompletes, 1);
    const int ticksBefore = timerTicks;
    text = gtk->GetWebPanel().VisibleText();
    // No launcher handler runs while the text is awaited.
    EXPECT_EQ(timerTicks, ticksBefore);
    gtk_window_close(gtk->MainWindow().Widget());
  };
  gtk->GetUiThread().StartTimer(1, 10);
  gtk->GetWebPanel().Navigate("file://" + page.string());
  EXPECT_EQ(gtk->Run(events), 0);
  EXPECT_NE(text.find("Servers [[1;2;3]]"), std::string::npos) << text;
  EXPECT_NE(text.find("\xe9\x9b\xbe\xe6\xb8\xaf"), std::string::npos) << text;  // UTF-8 from the engine
  EXPECT_EQ(text.find("script text"), std::string::npos);
  EXPECT_EQ(text.find("comment"), std::string::npos);
  EXPECT_EQ(text.find("color"), std::string::npos);
}

}  // namespace
