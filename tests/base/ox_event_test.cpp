#include "base/events/ox_event.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "base/diagnostics/ox_assert.h"
#include "base/init/ox_base.h"
#include "base/events/ox_event_broadcast.h"
#include "base/text/ox_unicode.h"
#include "base_test_support.h"
#include "support/code_page_text.h"

using namespace ox_base;

namespace {

int Count() { return OxEvent::GetDefinitionCount(); }

// The definitions one test makes. They end with the test, last made first,
// and so leave the table as the test found it: tests run in one process in
// any order. (The start-up error is the process's; tests compare with what
// it was before.)
class Definitions {
 public:
  ~Definitions() {
    while (!events_.empty()) events_.pop_back();
  }
  const OxEvent& Define(const std::string& name, const char* format, uint32_t flags = 0,
                        OxEventRemoteTable* table = nullptr) {
    // The table keeps pointers to the definitions and to their names.
    names_.push_back(name);
    events_.emplace_back(new OxEvent(names_.back().c_str(), format, flags, table));
    return *events_.back();
  }

 private:
  std::deque<std::string> names_;
  std::deque<std::unique_ptr<OxEvent>> events_;
};

}  // namespace

TEST(OxEventDefine, BaseEventsAndFormats) {
  Definitions definitions;
  const int start = Count();
  EXPECT_GE(start, 5);
  EXPECT_STREQ(OxEvent::GetDefinition(g_evProcTimerTick.GetNumber())->GetName(), "ProcTimerTick");
  EXPECT_EQ(g_evEngineTickBegin.GetArgCount(), 0);
  EXPECT_EQ(g_evProcTimerTick.GetBlockSize(), 12);

  const OxEvent& mixed = definitions.Define("Mixed", "Ibwvsi");
  EXPECT_EQ(mixed.GetArgCount(), 6);
  EXPECT_EQ(mixed.GetArgOffset(1), 8);
  EXPECT_EQ(mixed.GetArgOffset(2), 9);
  EXPECT_EQ(mixed.GetArgOffset(3), 11);
  EXPECT_EQ(mixed.GetArgOffset(4), 23);
  EXPECT_EQ(mixed.GetArgOffset(5), 151);
  EXPECT_EQ(mixed.GetBlockSize(), 155);
  EXPECT_EQ(mixed.GetNumber(), start);

  const std::string errorBefore = OxEvent::GetStartupError();
  const OxEvent& again = definitions.Define("ProcTimerStart", "dd");
  EXPECT_EQ(again.GetNumber(), g_evProcTimerStart.GetNumber());
  EXPECT_EQ(Count(), start + 1) << "not added twice";
  EXPECT_EQ(OxEvent::GetStartupError(), errorBefore) << "the same definition again is no error";
  const OxEvent& clash = definitions.Define("ProcTimerStart", "ddd");
  EXPECT_TRUE(OxEvent::HasStartupError());
  EXPECT_EQ(OxEvent::GetStartupError(), Gbk("事件 'ProcTimerStart' 重定义，名字相同但是格式字符串不同 ('ddd'!='dd')."));
  EXPECT_EQ(clash.GetNumber(), -1);
  EXPECT_EQ(Count(), start + 1);
}

TEST(OxEventDefine, ArgumentRulesAndMessages) {
  Definitions definitions;
  struct Case {
    const char* format;
    uint32_t flags;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {"p", 0, nullptr},
      {"p", OX_EVENT_NETWORK, "事件 'E' 参数错误，网络事件不允许使用指针('p')参数 ('p')."},
      {"o", 0, "事件 'E' 参数错误，本地事件不允许使用对象('o')参数 ('o')."},
      {"o", 0x100, nullptr},
      {"oo", 0x200, "事件 'E' 参数错误，一个事件只允许有一个物件对象 ('oo')."},
      {"m", 0, "事件 'E' 参数错误，本地事件不允许使用指针('m')参数 ('m')."},
      {"m", OX_EVENT_MEMORY_ALLOWED, nullptr},
      {"mo", OX_EVENT_NETWORK, "事件 'E' 参数错误，内存包参数和对象参数冲突 ('mo')."},
      {"om", OX_EVENT_NETWORK, "事件 'E' 参数错误，内存包参数和对象参数冲突 ('om')."},
      {"mm", OX_EVENT_NETWORK, "事件 'E' 参数错误，一个事件只允许有一个内存包 ('mm')."},
      {"dz", 0, "事件 'E' 的参数格式字符串 'dz' 错误."},
  };
  for (const Case& c : cases) {
    int before = Count();
    // Each accepted event is new, so the name must differ from the last.
    std::string name = c.message ? "E" : "Ok" + std::to_string(before);
    const OxEvent& event = definitions.Define(name, c.format, c.flags);
    if (c.message) {
      EXPECT_EQ(OxEvent::GetStartupError(), Gbk(c.message)) << c.format;
      EXPECT_EQ(event.GetNumber(), -1);
      EXPECT_EQ(Count(), before);
    } else {
      EXPECT_GE(event.GetNumber(), 0) << c.format;
    }
  }
}

TEST(OxEventDefine, SecondStringSetsTheFlagWithoutAMessage) {
  Definitions definitions;
  const std::string errorBefore = OxEvent::GetStartupError();
  const OxEvent& twice = definitions.Define("Twice", "SdS");
  EXPECT_TRUE(OxEvent::HasStartupError());
  EXPECT_EQ(OxEvent::GetStartupError(), errorBefore) << "no message of its own";
  EXPECT_EQ(twice.GetNumber(), -1);

  ox_test::BaseLogCapture capture;
  StartEventSystem();
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0], "Startup event system FAILED\n    -> " + errorBefore + "\n");
  StopEventSystem();
}

TEST(OxEventDefine, ProgrammingErrorsAreAssertions) {
  Definitions definitions;
  SetAssertChoice(OxAssertChoice::kIgnore);
  EXPECT_NO_THROW(definitions.Define("Eight", "dddddddd"));
  try {
    definitions.Define("Nine", "ddddddddd");
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("'dlls/base/ox_event'"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("Assert: iNumArgs <= OxArg::MAX_ARG\n"), std::string::npos);
  }
  EXPECT_THROW(OxEvent(nullptr, "d"), OxAssertError);  // throws before registering
  StartEventSystem();
  try {
    definitions.Define("Late", "d");
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("Assert: !OxEvent::bInitialized\n"), std::string::npos);
  }
  StopEventSystem();
}

TEST(OxEventDefine, TableLimitsAndNumbersFreedByEndedDefinitions) {
  const int start = Count();
  {
    Definitions definitions;
    while (Count() < OX_EVENT_MAX_EVENTS - 1) definitions.Define("Fill" + std::to_string(Count()), "d");
    const OxEvent& extra = definitions.Define("OneTooMany", "d");
    EXPECT_EQ(extra.GetNumber(), -1);
    EXPECT_EQ(OxEvent::GetStartupError(), Gbk("事件类型过多 (s_iCntEventDefs >= (OX_EVENT_MAX_EVENTS-1))"));
    EXPECT_EQ(Count(), 2047);
  }
  EXPECT_EQ(Count(), start) << "the ended definitions left the table";
  Definitions definitions;
  EXPECT_EQ(definitions.Define("AfterTheFill", "d").GetNumber(), start);
}

TEST(OxEventDefine, NetworkTablesNumberFromTheirBase) {
  OxEventRemoteTable table(100);
  Definitions definitions;
  definitions.Define("LocalOne", "d", 0, &table);
  const OxEvent& first = definitions.Define("NetOne", "d", OX_EVENT_NETWORK, &table);
  const OxEvent& second = definitions.Define("NetTwo", "S", 0x100, &table);
  EXPECT_EQ(table.GetCount(), 2) << "local events stay out";
  EXPECT_EQ(first.GetRemoteNumber(), 100);
  EXPECT_EQ(second.GetRemoteNumber(), 101);
  const OxEvent& same = definitions.Define("NetTwo", "S", 0x100, &table);
  EXPECT_EQ(same.GetRemoteNumber(), 101);
  EXPECT_EQ(table.GetCount(), 2);
}

TEST(OxEventSystem, PoolAndBufferLiveBetweenStartAndStop) {
  EXPECT_EQ(GetEventArgBufferSize(), 0);
  StartEventSystem();
  EXPECT_TRUE(OxEvent::bInitialized);
  EXPECT_EQ(GetEventArgBufferSize(), 65000);
  EXPECT_EQ(GetFreeEventCount(), 2048);
  StartEventSystem();
  EXPECT_EQ(GetFreeEventCount(), 2048) << "a second start only resets the pool";
  StopEventSystem();
  EXPECT_FALSE(OxEvent::bInitialized);
  EXPECT_EQ(GetEventArgBufferSize(), 0);
  StopEventSystem();

  OxEventBroadcast broadcast;
  broadcast.InitBroadcast();
  EXPECT_EQ(broadcast.GetChainCount(), Count());
  broadcast.ClearBroadcast();
  EXPECT_EQ(broadcast.GetChainCount(), 0);
}

TEST(OxEventBroadcast, DestroyingWithChainsIsReported) {
  ox_test::BaseLogCapture capture;
  {
    OxEventBroadcast broadcast;
    broadcast.InitBroadcast();
  }
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_NE(capture.Messages()[0].find("assert Failed: [m_pChainMap==NULL], File [dlls/base/ox_object], Line ["),
            std::string::npos);
}
