#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "base/diagnostics/ox_assert.h"
#include "base/diagnostics/ox_cpu_info.h"
#include "base/diagnostics/ox_debug.h"
#include "base/init/ox_process.h"
#include "base/text/ox_unicode.h"
#include "base_test_support.h"

using namespace ox_base;

TEST(StringSearch, LastCharLastOfAndIndex) {
  const char* text = "a/b/c";
  EXPECT_EQ(StrFindLastChar(text, '/'), text + 3);
  EXPECT_EQ(StrFindLastChar(text, 'a'), text);
  EXPECT_EQ(StrFindLastChar("", '/'), nullptr);
  EXPECT_EQ(StrFindLastChar(text, 'x'), nullptr);
  const char* path = "dir\\sub/name";
  EXPECT_EQ(StrFindLastOf(path, "\\/"), path + 7);
  EXPECT_EQ(StrFindLastOf(path, "xyz"), nullptr);
  EXPECT_EQ(StrIndexOf(text, '/'), 1);
  EXPECT_EQ(StrIndexOf(text, 'x'), -1);
  SetAssertChoice(OxAssertChoice::kIgnore);
  try {
    StrFindLastOf(nullptr, "/");
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("File: 'dlls/base/ox_unicode'"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("Assert: pStr!=NULL\n"), std::string::npos);
  }
  EXPECT_THROW(StrFindLastChar(nullptr, '/'), OxAssertError);
}

TEST(Assertions, ReportTextsAndChoices) {
  ox_test::BaseLogCapture capture;
  SetAssertChoice(OxAssertChoice::kIgnore);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OxAssertDialog("x>0", "dlls/base/ox_log", 12), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "assert Failed!\nbase:\n[x>0]\nFile [dlls/base/ox_log]\nLine [12]\n");
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0], "assert Failed: [x>0], File [dlls/base/ox_log], Line [12]\n");
  EXPECT_EQ(capture.Output().events[0].priority, OX_LOG_ERROR);

  SetAssertChoice(OxAssertChoice::kRetry);
  testing::internal::CaptureStderr();
  EXPECT_EQ(OxAssertDialog("y", "src", 1), 1);
  SetAssertChoice(OxAssertChoice::kAbort);
  EXPECT_EQ(OxAssertDialog("y", "src", 1), 1);
  testing::internal::GetCapturedStderr();

  SetAssertChoice(OxAssertChoice::kIgnore);
  struct Case {
    const char* condition;
    const char* source;
    std::string text;
  };
  const Case cases[] = {
      {"c", "s", "File: 's' Line: 5 \nAssert: c\n"},
      {"c", nullptr, "File: Unknown. Line: 5 \nAssert: c\n"},
      {nullptr, "s", "Unknown assert, File: 's' Line: 5\n"},
      {nullptr, nullptr, "Unknown assert, File: Unknown Line: 5\n"},
  };
  testing::internal::CaptureStderr();
  for (const Case& c : cases) {
    try {
      OxAssertFailed(c.condition, c.source, 5);
    } catch (const OxAssertError& error) {
      EXPECT_EQ(error.what(), c.text);
    }
  }
  testing::internal::GetCapturedStderr();
}

TEST(DebugSinks, ErrWritesErrorsLogWritesInfo) {
  ox_test::BaseLogCapture capture;
  g_oxDebugErr.Print("bad\n");
  g_oxDebugLog.PrintString(std::string("note\n"));
  CNullDebug().Print("nothing\n");
  ASSERT_EQ(capture.Output().events.size(), 2u);
  EXPECT_EQ(capture.Output().events[0].priority, OX_LOG_ERROR);
  EXPECT_EQ(capture.Output().events[1].priority, OX_LOG_INFO);
  EXPECT_EQ(capture.Output().events[1].message, "note\n");

  OxBase::GetRootLog()->SetPriority(OX_LOG_ERROR);
  g_oxDebugErr.Print("still\n");
  g_oxDebugLog.Print("hidden\n");
  ASSERT_EQ(capture.Output().events.size(), 3u);
  EXPECT_EQ(capture.Output().events[2].message, "still\n");
}

TEST(CpuInfo, FeaturesAndClockFromThePlatform) {
  OxCpuInfo info;
  info.reserved[1] = 9;
  ReadCpuInfo(info);
  EXPECT_EQ(info.reserved[1], 0);
#if defined(__x86_64__)
  EXPECT_EQ(info.mmx, 1) << "every x86-64 processor has MMX, SSE and SSE2";
  EXPECT_EQ(info.sse, 1);
  EXPECT_EQ(info.sse2, 1);
  EXPECT_TRUE(OxCpuHasTimeStampCounter());
#endif
  bool reported = false;
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) reported = reported || line.rfind("cpu MHz", 0) == 0;
  if (reported) {
    EXPECT_GT(info.mhz, 0u);
    EXPECT_DOUBLE_EQ(OxCpuCycleSeconds(), 1e-6 / info.mhz);
  } else {
    EXPECT_EQ(info.mhz, 0u);
    EXPECT_TRUE(std::isinf(OxCpuCycleSeconds()));
  }
}

namespace {
class CountingProcess : public OxProcess {
 public:
  explicit CountingProcess(int& stopped) : m_stopped(stopped) {}
  void OnStopped() override { ++m_stopped; }

 private:
  int& m_stopped;
};
}  // namespace

TEST(ProcessList, RemoveAndDelete) {
  ox_test::BaseLogCapture capture;
  int stopped = 0;
  SmartPtr<OxProcess> a(new CountingProcess(stopped));
  SmartPtr<OxProcess> b(new CountingProcess(stopped));
  OxProcessList list;
  list.AddProcess(a);
  list.AddProcess(b);
  list.AddProcess(a);
  list.RemoveProcess(a);
  EXPECT_EQ(list.GetSize(), 1) << "every entry holding it";
  EXPECT_EQ(stopped, 1);
  list.RemoveProcess(a);
  EXPECT_EQ(stopped, 1) << "not on the list: not told";
  list.AddProcess(a);
  list.DeleteProcessList();
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(stopped, 3);
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"DeleteProcessList Size[2]\n"});
}
