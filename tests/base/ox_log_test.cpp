#include "base/log/ox_log.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "base/diagnostics/ox_assert.h"
#include "base/log/ox_log_layout.h"
#include "base_test_support.h"
#include "support/temp_dir.h"

using namespace ox_base;
using ox_test::RecordingOutput;

namespace {

SmartPtr<OxLogOutput> Recorder(const std::string& name) { return SmartPtr<OxLogOutput>(new RecordingOutput(name)); }
RecordingOutput& Recorded(const SmartPtr<OxLogOutput>& output) { return *static_cast<RecordingOutput*>(output.Get()); }

OxLogEvent Event(const std::string& message, int priority = OX_LOG_INFO) {
  OxLogEvent event;
  event.category = "root";
  event.message = message;
  event.file = "test";
  event.priority = priority;
  event.time = std::time(nullptr);
  return event;
}

std::string FormatWith(OxLogOutput::Layout& layout, const OxLogEvent& event) {
  char buffer[kOxLogLineMax + 1];
  int length = layout.Format(event, buffer, sizeof(buffer));
  return std::string(buffer, length);
}

// Logs on its own log from inside Write.
class ReenteringOutput : public RecordingOutput {
 public:
  ReenteringOutput(OxLog& log) : RecordingOutput("reenter"), m_log(log) {}
  void Write(const OxLogEvent& event) override {
    RecordingOutput::Write(event);
    m_log.Log(OX_LOG_INFO, "inner\n");
  }

 private:
  OxLog& m_log;
};

}  // namespace

TEST(OxLog, PrioritiesComeFromTheTopmostAncestor) {
  SmartPtr<OxLog> root(new OxLog("root"));
  SmartPtr<OxLog> base = root->GetChild("Base");
  EXPECT_EQ(root->GetChild("Base"), base) << "one child per name";
  SmartPtr<OxLogOutput> output = Recorder("rec");
  root->AddOutput(output);
  root->SetPriority(OX_LOG_ERROR);
  base->SetPriority(OX_LOG_TSET);
  base->Info("info %d\n", 1);
  root->Info("info %d\n", 2);
  base->Error("error %s\n", "x");
  base->Log(OX_LOG_DEBUG, "forced\n");
  ASSERT_EQ(Recorded(output).events.size(), 2u);
  EXPECT_EQ(Recorded(output).events[0].message, "error x\n");
  EXPECT_EQ(Recorded(output).events[0].category, "Base");
  EXPECT_EQ(Recorded(output).events[0].priority, OX_LOG_ERROR);
  EXPECT_EQ(Recorded(output).events[1].message, "forced\n") << "Log has no threshold test";
  EXPECT_EQ(base->GetEffectivePriority(), OX_LOG_ERROR);

  base->SetAdditive(false);
  base->Error("kept below\n");
  EXPECT_EQ(Recorded(output).events.size(), 2u);
  root->DetachChildren();
  EXPECT_EQ(base->GetParent(), nullptr);
  EXPECT_EQ(base->GetEffectivePriority(), OX_LOG_TSET);
}

TEST(OxLog, OutputsAndChildrenHaveUniqueNames) {
  SmartPtr<OxLog> root(new OxLog("root"));
  EXPECT_TRUE(root->AddOutput(Recorder("a")));
  EXPECT_FALSE(root->AddOutput(Recorder("a")));
  EXPECT_TRUE(root->AddOutput(Recorder("A")));
  EXPECT_TRUE(root->AddConsoleOutput("console", 0));
  EXPECT_TRUE(root->AddConsoleOutput("console", 7)) << "a taken name is not reported";
  EXPECT_EQ(root->GetOutputCount(), 3);
  SmartPtr<OxLog> child(new OxLog("c"));
  EXPECT_TRUE(root->AddChild(child));
  EXPECT_EQ(child->GetParent(), root.Get());
  EXPECT_FALSE(root->AddChild(SmartPtr<OxLog>(new OxLog("c"))));
  root->CloseOutputs();
  EXPECT_EQ(root->GetOutputCount(), 0);
  root->DetachChildren();
}

TEST(OxLog, MessagesAreCutAndReentryIsDropped) {
  SmartPtr<OxLog> log(new OxLog("root"));
  SmartPtr<OxLogOutput> output = Recorder("rec");
  log->AddOutput(output);
  std::string longText(2000, 'm');
  log->Log(OX_LOG_INFO, "%s", longText.c_str());
  ASSERT_EQ(Recorded(output).events.size(), 1u);
  EXPECT_EQ(Recorded(output).events[0].message, std::string(1023, 'm'));

  SmartPtr<OxLogOutput> reenter(new ReenteringOutput(*log));
  log->AddOutput(reenter);
  log->Log(OX_LOG_INFO, "outer\n");
  EXPECT_EQ(Recorded(reenter).events.size(), 1u);
  EXPECT_EQ(Recorded(output).events.back().message, "outer\n") << "the inner message was dropped";
  EXPECT_EQ(Recorded(output).events.size(), 2u);
  log->CloseOutputs();
}

TEST(OxLogOutput, ThresholdAndFilterDecide) {
  SmartPtr<OxLogOutput> output = Recorder("rec");
  output->SetThreshold(OX_LOG_INFO);
  output->Append(Event("info\n", OX_LOG_INFO));
  output->Append(Event("warn\n", OX_LOG_WARN));
  EXPECT_EQ(Recorded(output).events.size(), 1u) << "threshold 6 takes 0..5";
  output->SetThreshold(OX_LOG_TSET);
  output->Append(Event("tset\n", OX_LOG_TSET));
  EXPECT_EQ(Recorded(output).events.size(), 2u);

  struct DropAll : OxLogOutput::Filter {
    int Decide(const OxLogEvent&) override { return -1; }
  };
  output->SetFilter(SmartPtr<OxLogOutput::Filter>(new DropAll));
  output->Append(Event("dropped\n", OX_LOG_FATAL));
  EXPECT_EQ(Recorded(output).events.size(), 2u);
}

TEST(OxLogLayout, DefaultPositionalAndPatterns) {
  OxLogEvent event = Event("Base initialized.\n");
  const std::tm local = *std::localtime(&event.time);
  char date[32];
  std::strftime(date, sizeof(date), "%Y%m%d %H:%M:%S", &local);

  OxLogOutput::LayoutBase base;
  EXPECT_EQ(FormatWith(base, event), "[" + std::string(date) + " INFO root] Base initialized.\n");
  char buffer[kOxLogLineMax + 1];
  std::string positional(buffer, OxLogFormatPositional(event, buffer, sizeof(buffer)));
  EXPECT_EQ(positional, "[" + std::string(date) + " INFO root test:0] Base initialized.\n");

  OxLogOutput::LayoutPattern console("[%t %p] %m");
  EXPECT_EQ(FormatWith(console, event), "[" + std::string(date + 9) + " INFO] Base initialized.\n");
  OxLogOutput::LayoutPattern all("%d|%T|%s|%c|%f|%p");
  EXPECT_EQ(FormatWith(all, event), std::string(date, 8) + "|" + date + "|" + std::to_string(event.time) +
                                         "|root|test:0|INFO");
  OxLogOutput::LayoutPattern odd("a%%b%xc%");
  EXPECT_EQ(FormatWith(odd, event), "a:(b:(c%");

  OxLogEvent huge = Event(std::string(1500, 'h'));
  EXPECT_EQ(FormatWith(base, huge).size(), 1223u);
  EXPECT_EQ(FormatWith(console, huge).size(), 1223u);
  EXPECT_STREQ(OxLogPriorityName(OX_LOG_TSET), "TSET");
  EXPECT_STREQ(OxLogPriorityName(OX_LOG_CRIT), "CRIT");
}

TEST(OxLogOutputFile, WritesLinesAndRefusesASecondWriter) {
  CurrentTempDir dir;
  SmartPtr<OxLog> log(new OxLog("root"));
  ASSERT_TRUE(log->AddFileOutput("log", "app.log", false));
  log->Info("first %d\n", 1);
  log->Info("second\n");
  std::string text = ReadFile("app.log");
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\[\d{8} \d\d:\d\d:\d\d INFO root\] first 1\n)"
                                                 R"(\[\d{8} \d\d:\d\d:\d\d INFO root\] second\n)")))
      << text;
  SmartPtr<OxLog> other(new OxLog("other"));
  EXPECT_FALSE(other->AddFileOutput("log", "app.log", true)) << "the file is held by the first log";
  EXPECT_FALSE(log->AddFileOutput("x", "missing/dir/x.log", false));
  EXPECT_EQ(log->GetOutputCount(), 1);
  log->CloseOutputs();
  EXPECT_TRUE(other->AddFileOutput("log", "app.log", true));
  other->Info("third\n");
  EXPECT_NE(ReadFile("app.log").find("first 1\n"), std::string::npos) << "appended";
  other->CloseOutputs();
}

TEST(OxLogOutputConsole, WritesThePatternToStandardOutput) {
  SmartPtr<OxLog> log(new OxLog("root"));
  log->AddConsoleOutput("console", 0);
  testing::internal::CaptureStdout();
  log->Info("hello\n");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex(R"(\[\d\d:\d\d:\d\d INFO\] hello\n)"))) << out;
  log->CloseOutputs();
}

// Outputs closed while other threads log must stay alive until those
// writes finish (the sanitizer build catches a use after free).
TEST(OxLog, ConcurrentLoggingKeepsOutputsAlive) {
  SmartPtr<OxLog> root(new OxLog("root"));
  SmartPtr<OxLog> child = root->GetChild("worker");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) {
        SmartPtr<OxLogOutput> output = Recorder("o" + std::to_string(t));
        root->AddOutput(output);
        child->Info("message %d\n", i);
        if (i % 50 == 0) root->CloseOutputs();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  root->CloseOutputs();
  root->DetachChildren();
}
