#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/gtk/gtk_test_support.h"
#include "support/recording_http_server.h"
#include "support/temp_dir.h"
#include "ui/image_resources.h"

namespace {

using platform::Rect;
using platform::Rgb;

constexpr Rect kClose{985, 130, 1010, 155};
constexpr Rect kStatus{430, 542, 640, 557};
constexpr int kBarLeft = 426;
const int kBarWidth = 522 * 37 / 100;
const std::string kSongTi = "\xcb\xce\xcc\xe5";  // "宋体"
// "正在下载文件:client.zip 1/3 更新中请稍候" twice: wider than the label.
const std::string kLongStatus =
    "\xd5\xfd\xd4\xda\xcf\xc2\xd4\xd8\xce\xc4\xbc\xfe:client.zip 1/3 \xb8\xfc\xd0\xc2\xd6\xd0\xc7\xeb\xc9\xd4\xba\xf2"
    " \xd5\xfd\xd4\xda\xcf\xc2\xd4\xd8\xce\xc4\xbc\xfe:client.zip 2/3 \xb8\xfc\xd0\xc2\xd6\xd0\xc7\xeb\xc9\xd4\xba\xf2";

platform::Bitmap Png(int id) {
  platform::Bitmap bitmap;
  ui::LoadPngResource(id, "PNG", bitmap);
  return bitmap;
}

// The window as start-up lays it out, through the seam.
void BuildLayout(platform::Window& window) {
  window.PlaceControl(1001, {0, 0, 1034, 686}, true);
  window.PlaceControl(1005, {374, 198, 374, 198}, true);
  window.PlaceControl(1006, {126, 344, 126, 344}, true);
  window.PlaceControl(2024, {809, 625, 975, 640}, true);
  window.PlaceControl(2050, {809, 608, 975, 623}, true);
  window.PlaceControl(1007, kStatus, true);
  window.PlaceControl(1003, {481, 574, 481, 574}, true);
  window.PlaceControl(1004, {910, 543, 940, 570}, true);
  window.PlaceControl(1013, {770, 624, 910, 644}, false);
  window.PlaceControl(2072, {503, 605, 658, 627}, false);
  window.PlaceControl(2070, {747, 626, 760, 639}, false);
  window.SetCaption("\xce\xed\xb8\xdb");  // "雾港"
  window.SetIcon(128);
  window.SetupProgressControl(Rgb(14, 5, 29), Rgb(250, 240, 10), 0, 0);
  for (int id : {1004, 1007}) {
    window.SetLabelColour(id, Rgb(255, 255, 255));
    window.SetLabelTransparent(id, true);
    window.SetLabelFont(id, kSongTi, 13, 80);
  }
  window.CreateSkinButton(2021, kClose, 2021, 2022, 2023);
  window.CreateSkinButton(2038, {957, 130, 982, 155}, 2038, 2039, 2040);
  window.CreateSkinButton(2077, {887, 130, 955, 155}, 2077, 2077, 2077);
  window.CreateSkinButton(2031, {kBarLeft, 564, kBarLeft + kBarWidth, 584}, 2600, 2600, 2600);
  for (int id : {2024, 2050}) {
    window.SetLabelColour(id, Rgb(255, 183, 49));
    window.SetLabelTransparent(id, true);
    window.SetLabelFont(id, kSongTi, 13, 100);
  }
  window.SetLabelText(2024, "\xb5\xb1\xc7\xb0\xb0\xe6\xb1\xbev1.0.12");  // "当前版本v1.0.12"
  window.SetLabelText(1004, "37%");
  window.SetLabelText(1007, kLongStatus);
}

// The toplevel's frame as the X server has it.
Rect OnScreen(GtkWindow* window) {
  GdkWindow* frame = gtk_widget_get_window(GTK_WIDGET(window));
  gint x = 0;
  gint y = 0;
  gint width = 0;
  gint height = 0;
  gdk_window_get_geometry(frame, nullptr, nullptr, &width, &height);
  gdk_window_get_origin(frame, &x, &y);
  return Rect{x, y, x + width, y + height};
}

std::string ShotPath(const char* name) { return std::string(FARLAUNCH_BINARY_DIR) + "/tests/frontends/gtk/" + name; }

TEST(GtkWindow, ShowsTheSkinnedLayoutCutToItsOutline) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  ASSERT_EQ(std::system("xdotool mousemove 600 400"), 0);  // away from every button
  BuildLayout(gtk->GetWindow());
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  platform::Bitmap screen;
  const auto backgroundShown = [&] {
    screen = gtk_test::Screenshot(ShotPath("window_screenshot.png"));
    return !screen.Empty() && screen.PixelAt(100, 300) == background.PixelAt(100, 300) &&
           gtk_test::ShowsImage(screen, Png(2021), kClose);
  };
  ASSERT_TRUE(gtk_test::PumpUntil(backgroundShown)) << "window never painted";
  EXPECT_STREQ(gtk_window_get_title(gtk->MainWindow().Widget()), "雾港");
  GdkPixbuf* icon = gtk_window_get_icon(gtk->MainWindow().Widget());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(icon), 32);

  // The background and, through the shape, not its grey margin.
  for (const auto& [x, y] : {std::pair{700, 640}, {60, 200}, {1000, 400}, {200, 60}}) {
    EXPECT_EQ(screen.PixelAt(x, y), background.PixelAt(x, y)) << x << "," << y;
  }
  const platform::Colour key = Rgb(204, 204, 204);
  for (const auto& [x, y] : {std::pair{5, 400}, {1030, 5}, {600, 60}, {1030, 684}}) {
    ASSERT_EQ(background.PixelAt(x, y), key);
    EXPECT_NE(screen.PixelAt(x, y), key) << x << "," << y;
  }

  // The bar shows the left part of its image and no more.
  const platform::Bitmap bar = Png(2600);
  for (int x = 0; x < kBarWidth; x += 5) {
    ASSERT_EQ(screen.PixelAt(kBarLeft + x, 570), bar.PixelAt(x, 6)) << x;
  }
  EXPECT_EQ(screen.PixelAt(kBarLeft + kBarWidth + 4, 570), background.PixelAt(kBarLeft + kBarWidth + 4, 570));

  // The status text, far wider than its label, is wrapped at a space (the
  // label's right end stays clear) and cut at the label's bottom edge.
  const auto inkIn = [&](const Rect& area) {
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        ink += screen.PixelAt(x, y) != background.PixelAt(x, y);
      }
    }
    return ink;
  };
  EXPECT_GT(inkIn({kStatus.left, kStatus.top, kStatus.left + 100, kStatus.bottom}), 100);
  EXPECT_EQ(inkIn({kStatus.right - 15, kStatus.top, kStatus.right, kStatus.bottom}), 0);
  for (int y = kStatus.bottom; y < kStatus.bottom + 6; ++y) {
    for (int x = kStatus.left; x < kStatus.right; ++x) {
      ASSERT_EQ(screen.PixelAt(x, y), background.PixelAt(x, y)) << x << "," << y;
    }
  }

  // Hovering the close button shows its hover image.
  ASSERT_EQ(std::system("xdotool mousemove 997 142"), 0);
  EXPECT_TRUE(gtk_test::PumpUntil([&] {
    screen = gtk_test::Screenshot(ShotPath("window_hover_screenshot.png"));
    return gtk_test::ShowsImage(screen, Png(2023), kClose);
  })) << "hover image never shown";
  ASSERT_EQ(std::system("xdotool mousemove 600 400"), 0);
  EXPECT_TRUE(gtk_test::PumpUntil([&] {
    return gtk_test::ShowsImage(gtk_test::Screenshot(ShotPath("window_left_screenshot.png")), Png(2021), kClose);
  }));
}

TEST(GtkWindow, ButtonsClickWhileBackgroundAndLabelsDragAndClosingEndsTheLoop) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  BuildLayout(gtk->GetWindow());
  gtk_test::RecordingEvents events;
  std::vector<int> commands;
  int ticks = 0;
  int closeAtTick = -1;
  bool scriptDone = false;
  gint endX = -1;
  gint endY = -1;
  constexpr std::uint32_t kProgressMessage = 0x464;
  std::thread worker([&] { gtk->GetUiThread().PostWindowMessage(kProgressMessage, 37, 0); });
  // Click minimise; drag the window by the version label (20, 10) and then
  // by the background (30, 20); press the (moved) close button and let go
  // elsewhere; press Enter and Escape.
  const char* script =
      "xdotool mousemove 965 140 click 1"
      " mousemove 850 632 mousedown 1 sleep 0.2 mousemove 860 637 sleep 0.2 mousemove 870 642 sleep 0.2 mouseup 1"
      " sleep 0.3 mousemove 600 300 mousedown 1 sleep 0.2 mousemove 615 310 sleep 0.2 mousemove 630 320 sleep 0.2"
      " mouseup 1 sleep 0.3 mousemove 1047 172 mousedown 1 sleep 0.2 mousemove 700 400 sleep 0.2 mouseup 1"
      " key Return Escape";
  events.onTimer = [&](int id) {
    EXPECT_EQ(id, 1);
    if (++ticks == 2) {
      gchar** argv = nullptr;
      ASSERT_TRUE(g_shell_parse_argv(script, nullptr, &argv, nullptr));
      GPid pid;
      const gboolean started = g_spawn_async(nullptr, argv, nullptr,
                                             GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
                                             nullptr, &pid, nullptr);
      g_strfreev(argv);
      ASSERT_TRUE(started);
      g_child_watch_add(
          pid, [](GPid, gint, gpointer data) { *static_cast<bool*>(data) = true; }, &scriptDone);
    }
    if (scriptDone && closeAtTick < 0) {
      closeAtTick = ticks + 3;
    }
    if (ticks == closeAtTick) {
      gtk_window_get_position(gtk->MainWindow().Widget(), &endX, &endY);
      gtk_window_close(gtk->MainWindow().Widget());
    }
  };
  events.onCommand = [&](int id) { commands.push_back(id); };
  gtk->GetUiThread().StartTimer(1, 100);
  EXPECT_EQ(gtk->Run(events), 0);
  worker.join();
  EXPECT_EQ(commands, std::vector<int>{2038});
  EXPECT_EQ(events.messages, std::vector<std::uint32_t>{kProgressMessage});
  EXPECT_EQ(endX, 50);
  EXPECT_EQ(endY, 30);
}

TEST(GtkWindow, StaysAtItsSizeAtTheOriginWhateverThePanelShows) {
  std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
  GTK_TEST_NEEDS_DISPLAY(gtk);
  constexpr Rect kWindow{0, 0, 1034, 686};
  GtkWindow* window = gtk->MainWindow().Widget();
  BuildLayout(gtk->GetWindow());
  ASSERT_TRUE(gtk_test::PumpUntil([&] { return gtk_widget_get_mapped(GTK_WIDGET(window)); }));
  EXPECT_TRUE(gtk_test::PumpUntil([&] { return OnScreen(window) == kWindow; })) << "not at its size after start-up";

  // A page far larger than the panel, shown at the panel's full rectangle.
  RecordingHttpServer site;
  site.Put("/wide.html",
           "<html><body style=\"background:#ff0000\"><div style=\"width:3000px;height:3000px\">news</div>"
           "</body></html>",
           "text/html");
  gtk_test::RecordingEvents events;
  int loadedAtTick = -1;
  int ticks = 0;
  Rect afterLoad;
  GtkAllocation panel{};
  platform::Bitmap screen;
  events.onNavigateComplete = [&] {
    gtk->GetWindow().PlaceControl(1005, {338, 162, 982, 534}, true);
    loadedAtTick = ticks;
  };
  events.onTimer = [&](int) {
    // A few ticks for the page's size to reach the window, if it would.
    if (++ticks == loadedAtTick + 5 && loadedAtTick >= 0) {
      afterLoad = OnScreen(window);
      gtk_widget_get_allocation(dynamic_cast<frontends::gtk::GtkWebPanel&>(gtk->GetWebPanel()).Widget(), &panel);
      screen = gtk_test::Screenshot(ShotPath("window_panel_screenshot.png"));
      gtk_window_close(window);
    }
  };
  gtk->GetUiThread().StartTimer(1, 100);
  gtk->GetWebPanel().Navigate(site.Url("/wide.html"));
  EXPECT_EQ(gtk->Run(events), 0);
  EXPECT_EQ(afterLoad, kWindow) << afterLoad.right << "x" << afterLoad.bottom;
  EXPECT_EQ((Rect{panel.x, panel.y, panel.x + panel.width, panel.y + panel.height}), (Rect{338, 162, 982, 534}));
  // The page shows in the panel's rectangle, and only there.
  ASSERT_FALSE(screen.Empty());
  for (const auto& [x, y] : {std::pair{340, 164}, {660, 350}, {980, 532}}) {
    EXPECT_EQ(screen.PixelAt(x, y), Rgb(255, 0, 0)) << x << "," << y;
  }
  for (const auto& [x, y] : {std::pair{336, 350}, {984, 350}, {660, 160}, {660, 536}}) {
    EXPECT_NE(screen.PixelAt(x, y), Rgb(255, 0, 0)) << x << "," << y;
  }
}

// However the loop ends, the window is off the screen when Run returns:
// what the launcher does before it ends (an unpack stopped and put back)
// happens without a window that no longer answers. A log-out (SIGHUP),
// Ctrl+C (SIGINT) or SIGTERM closes it as the window manager does.
TEST(GtkWindow, ClosedByTheWindowManagerOrASignalItLeavesTheScreen) {
  const platform::Bitmap background = ui::LoadBitmapResource(141);
  for (const int signal : {0, SIGHUP, SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    std::unique_ptr<frontends::gtk::GtkPlatform> gtk = gtk_test::OpenWindow();
    GTK_TEST_NEEDS_DISPLAY(gtk);
    const auto backgroundShown = [&] {
      return gtk_test::Screenshot(ShotPath("window_closing_screenshot.png")).PixelAt(100, 300) ==
             background.PixelAt(100, 300);
    };
    ASSERT_TRUE(gtk_test::PumpUntil(backgroundShown)) << "window never painted";
    gtk_test::RecordingEvents events;
    bool asked = false;
    events.onTimer = [&](int) {
      if (std::exchange(asked, true)) return;
      if (signal == 0) {
        gtk_window_close(gtk->MainWindow().Widget());
      } else {
        std::raise(signal);
      }
    };
    gtk->GetUiThread().StartTimer(1, 10);
    EXPECT_EQ(gtk->Run(events), signal == 0 ? 0 : platform::kClosedBySignal + signal);
    EXPECT_FALSE(backgroundShown());
  }
}

}  // namespace
