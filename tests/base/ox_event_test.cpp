#include "base/ox_event.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "base/ox_assert.h"
#include "base/ox_base.h"
#include "base/ox_event_broadcast.h"
#include "base/ox_unicode.h"
#include "base_test_support.h"
#include "support/code_page_text.h"

using namespace ox_base;

namespace {

// Each test runs in its own process, so definitions made in a test body
// add to the static ones only.
int Count() { return OxEvent::GetDefinitionCount(); }

// Definitions live as long as the process, as static ones do; the table
// keeps pointers to them and to their names.
const OxEvent& Define(const std::string& name, const char* format, uint32_t flags = 0,
                      OxEventRemoteTable* table = nullptr) {
  static std::deque<std::string> names;
  static std::deque<std::unique_ptr<OxEvent>> events;
  names.push_back(name);
  events.emplace_back(new OxEvent(names.back().c_str(), format, flags, table));
  return *events.back();
}

}  // namespace

TEST(OxEventDefine, BaseEventsAndFormats) {
  const int start = Count();
  EXPECT_GE(start, 5);
  EXPECT_STREQ(OxEvent::GetDefinition(g_evProcTimerTick.GetNumber())->GetName(), "ProcTimerTick");
  EXPECT_EQ(g_evEngineTickBegin.GetArgCount(), 0);
  EXPECT_EQ(g_evProcTimerTick.GetBlockSize(), 12);
  EXPECT_FALSE(OxEvent::HasStartupError());

  const OxEvent& mixed = Define("Mixed", "Ibwvsi");
  EXPECT_EQ(mixed.GetArgCount(), 6);
  EXPECT_EQ(mixed.GetArgOffset(1), 8);
  EXPECT_EQ(mixed.GetArgOffset(2), 9);
  EXPECT_EQ(mixed.GetArgOffset(3), 11);
  EXPECT_EQ(mixed.GetArgOffset(4), 23);
  EXPECT_EQ(mixed.GetArgOffset(5), 151);
  EXPECT_EQ(mixed.GetBlockSize(), 155);
  EXPECT_EQ(mixed.GetNumber(), start);

  const OxEvent& again = Define("ProcTimerStart", "dd");
  EXPECT_EQ(again.GetNumber(), g_evProcTimerStart.GetNumber());
  EXPECT_EQ(Count(), start + 1) << "not added twice";
  EXPECT_FALSE(OxEvent::HasStartupError());
  const OxEvent& clash = Define("ProcTimerStart", "ddd");
  EXPECT_TRUE(OxEvent::HasStartupError());
  EXPECT_EQ(OxEvent::GetStartupError(), Gbk("事件 'ProcTimerStart' 重定义，名字相同但是格式字符串不同 ('ddd'!='dd')."));
  EXPECT_EQ(clash.GetNumber(), -1);
  EXPECT_EQ(Count(), start + 1);
}

TEST(OxEventDefine, ArgumentRulesAndMessages) {
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
    const OxEvent& event = Define(name, c.format, c.flags);
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
  const OxEvent& twice = Define("Twice", "SdS");
  EXPECT_TRUE(OxEvent::HasStartupError());
  EXPECT_EQ(OxEvent::GetStartupError(), "");
  EXPECT_EQ(twice.GetNumber(), -1);

  ox_test::BaseLogCapture capture;
  StartEventSystem();
  ASSERT_EQ(capture.Messages().size(), 1u);
  EXPECT_EQ(capture.Messages()[0], "Startup event system FAILED\n    -> \n");
  StopEventSystem();
}

TEST(OxEventDefine, ProgrammingErrorsAreAssertions) {
  SetAssertChoice(OxAssertChoice::kIgnore);
  EXPECT_NO_THROW(Define("Eight", "dddddddd"));
  try {
    Define("Nine", "ddddddddd");
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("'dlls/base/ox_event'"), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("Assert: iNumArgs <= OxArg::MAX_ARG\n"), std::string::npos);
  }
  EXPECT_THROW(OxEvent(nullptr, "d"), OxAssertError);  // throws before registering
  StartEventSystem();
  try {
    Define("Late", "d");
    ADD_FAILURE();
  } catch (const OxAssertError& error) {
    EXPECT_NE(std::string(error.what()).find("Assert: !OxEvent::bInitialized\n"), std::string::npos);
  }
  StopEventSystem();
}

TEST(OxEventDefine, TableLimits) {
  while (Count() < OX_EVENT_MAX_EVENTS - 1) Define("Fill" + std::to_string(Count()), "d");
  EXPECT_FALSE(OxEvent::HasStartupError());
  const OxEvent& extra = Define("OneTooMany", "d");
  EXPECT_EQ(extra.GetNumber(), -1);
  EXPECT_EQ(OxEvent::GetStartupError(), Gbk("事件类型过多 (s_iCntEventDefs >= (OX_EVENT_MAX_EVENTS-1))"));
  EXPECT_EQ(Count(), 2047);
}

TEST(OxEventDefine, NetworkTablesNumberFromTheirBase) {
  static OxEventRemoteTable table(100);
  Define("LocalOne", "d", 0, &table);
  const OxEvent& first = Define("NetOne", "d", OX_EVENT_NETWORK, &table);
  const OxEvent& second = Define("NetTwo", "S", 0x100, &table);
  EXPECT_EQ(table.GetCount(), 2) << "local events stay out";
  EXPECT_EQ(first.GetRemoteNumber(), 100);
  EXPECT_EQ(second.GetRemoteNumber(), 101);
  const OxEvent& same = Define("NetTwo", "S", 0x100, &table);
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
