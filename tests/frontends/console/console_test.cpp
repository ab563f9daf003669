#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "frontends/console/captured_output.h"
#include "frontends/console/console.h"
#include "frontends/console/console_dialogs.h"
#include "frontends/console/console_log_echo.h"
#include "frontends/console/console_window.h"
#include "support/code_page_text.h"

namespace frontends::console {
namespace {

// A console writing into a temporary file that the test reads back.
class CapturedConsole {
 public:
  explicit CapturedConsole(bool interactive) : console(output_.File(), interactive) {}

  std::string Output() const { return output_.Text(); }

 private:
  CapturedOutput output_;

 public:
  Console console;
};

TEST(ConsoleWindow, PrintsOneLinePerChangeWithAProgressBarInUtf8) {
  CapturedConsole captured(false);
  ConsoleWindow window(captured.console, 936);
  window.SetCaption(Gbk("雾港"));
  window.SetLabelText(1004, "0%");
  window.SetLabelText(1007, Gbk("正在下载文件:client.zip 1/3"));
  window.SetLabelText(1004, "37%");
  window.SetLabelText(1004, "37%");  // unchanged: no line
  window.SetProgressValue(37);
  window.PlaceControl(2031, platform::Rect{426, 564, 619, 584}, true);
  window.SetLabelText(1013, "a label nobody sees");
  window.SetLabelText(2024, Gbk("当前版本v1.0.3"));
  window.SetLabelText(2050, Gbk("最新版本v1.0.4"));
  window.SetLabelText(2024, Gbk("当前版本v1.0.3"));  // unchanged: no line
  window.SetLabelText(1007, Gbk("更新完成\r\n"));
  window.SetLabelText(1004, "100%");

  EXPECT_EQ(captured.Output(),
            "== 雾港 ==\n"
            "[------------------------------]   0%\n"
            "[------------------------------]   0% 正在下载文件:client.zip 1/3\n"
            "[###########-------------------]  37% 正在下载文件:client.zip 1/3\n"
            "当前版本v1.0.3\n"
            "最新版本v1.0.4\n"
            "[###########-------------------]  37% 更新完成\n"
            "[##############################] 100% 更新完成\n");
}

TEST(ConsoleWindow, BarFollowsTheLeadingNumberClamped) {
  EXPECT_EQ(StatusLine("250%", ""), "[##############################] 250%");
  EXPECT_EQ(StatusLine("", "waiting"), "[------------------------------]      waiting");
  EXPECT_EQ(StatusLine("99999999999999999999%", "x"), "[##############################] 99999999999999999999% x");
}

TEST(Console, RedrawsTheStatusInPlaceOnATerminal) {
  CapturedConsole captured(true);
  captured.console.ShowStatus("[--] 0%");
  captured.console.ShowStatus("[#-] 50%");
  captured.console.PrintLine("a message");
  captured.console.ShowStatus("[##] 100%");
  captured.console.Finish();
  EXPECT_EQ(captured.Output(),
            "\r\033[K[--] 0%"
            "\r\033[K[#-] 50%"
            "\r\033[Ka message\n[#-] 50%"
            "\r\033[K[##] 100%"
            "\n");
}

// Texts come from the update server (file names, page addresses); control
// sequences in them must not reach the terminal, where they could retitle
// it, rewrite earlier lines or worse.
TEST(Console, ControlSequencesInTextsAreNotPassedToTheTerminal) {
  CapturedConsole captured(true);
  captured.console.ShowStatus("[--] \033]0;owned\007client.zip");
  captured.console.PrintLine("line one\nline\ttwo \x7f\xc2\x9b" "2J \xe9\x9b\xbe");
  EXPECT_EQ(captured.Output(),
            "\r\033[K[--] ?]0;owned?client.zip"
            "\r\033[Kline one\nline\ttwo ??2J \xe9\x9b\xbe\n[--] ?]0;owned?client.zip");
}

TEST(ConsoleDialogs, PrintTheTextAndTakeTheDefaultAnswer) {
  CapturedConsole captured(false);
  ConsoleDialogs dialogs(captured.console, 936);
  dialogs.ShowMessage(Gbk("服务器配置档读取错误！"));
  EXPECT_FALSE(dialogs.AskOkCancel(Gbk("当前正在安装，强制关闭可能损坏文件，是否继续关闭？")));
  EXPECT_EQ(captured.Output(),
            "[Message] 服务器配置档读取错误！ -> OK\n"
            "[Question] 当前正在安装，强制关闭可能损坏文件，是否继续关闭？ [OK/Cancel] -> Cancel\n");
}

TEST(ConsoleLogEcho, PrintsTheFailureLogsLinesAboveTheStatusLine) {
  CapturedConsole captured(true);
  captured.console.ShowStatus("[---]   0%");
  ConsoleLogEcho echo(captured.console, 936);
  ox_base::OxLogEvent event;
  event.category = "farLaunch";
  event.priority = ox_base::OX_LOG_ERROR;
  event.message = Gbk("地图.zip (http://127.0.0.1/m.zip): HTTP 404\n");
  echo.Write(event);
  EXPECT_EQ(captured.Output(),
            "\r\033[K[---]   0%\r\033[K[ERROR] 地图.zip (http://127.0.0.1/m.zip): HTTP 404\n[---]   0%");
}

}  // namespace
}  // namespace frontends::console
