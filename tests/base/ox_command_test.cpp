#include "base/objects/ox_command.h"

#include <gtest/gtest.h>

#include "base/log/ox_log.h"
#include "base_test_support.h"

using namespace ox_base;

namespace {

std::vector<std::string> g_runs;

bool Echo(const OxCommandContext& context, const SmartPtr<OxLog>& log) {
  std::string text = context.command;
  for (const std::string& argument : context.arguments) text += "|" + argument;
  g_runs.push_back(text);
  log->Info("%s\n", text.c_str());
  return context.caller == nullptr;
}

bool Other(const OxCommandContext&, const SmartPtr<OxLog>&) {
  g_runs.push_back("other");
  return true;
}

class Commands : public testing::Test {
 protected:
  void SetUp() override {
    g_runs.clear();
    manager.Initialize();
    manager.RegisterCommand("echo", Echo, "prints its arguments", 0);
    manager.RegisterCommand("admin", Other, "needs level 5", 5);
  }
  OxCommandMgrInst manager;
  ox_test::BaseLogCapture capture;
};

}  // namespace

TEST_F(Commands, ExecuteNowChecksNameAndLevel) {
  EXPECT_TRUE(manager.ExecuteLine("  echo a\tb\r\n c  ", SmartPtr<OxLog>()));
  EXPECT_EQ(g_runs, std::vector<std::string>{"echo|a|b|c"});
  EXPECT_EQ(capture.Messages(), std::vector<std::string>{"echo|a|b|c\n"}) << "the root log by default";
  int marker = 0;
  EXPECT_FALSE(manager.ExecuteCommand("echo x", &marker, 0, OxCommandMgr::kRunNow, SmartPtr<OxLog>()))
      << "the handler's answer";
  EXPECT_FALSE(manager.ExecuteLine("nothing here", SmartPtr<OxLog>()));
  EXPECT_FALSE(manager.ExecuteLine(" \t\n", SmartPtr<OxLog>()));
  EXPECT_FALSE(manager.ExecuteLine("admin", SmartPtr<OxLog>())) << "level 0 is below 5";
  EXPECT_TRUE(manager.ExecuteCommand("admin", nullptr, 5, OxCommandMgr::kRunNow, SmartPtr<OxLog>()));

  std::string many = "echo";
  for (int i = 0; i < 70; ++i) many += " " + std::to_string(i);
  EXPECT_TRUE(manager.ExecuteLine(many, SmartPtr<OxLog>()));
  EXPECT_EQ(std::count(g_runs.back().begin(), g_runs.back().end(), '|'), 64) << "at most 64 arguments";
}

TEST_F(Commands, QueueHoldsTwentyInOrder) {
  EXPECT_TRUE(manager.ExecuteCommand("echo 1", nullptr, 0, OxCommandMgr::kQueueBack, SmartPtr<OxLog>()));
  EXPECT_TRUE(manager.ExecuteCommand("echo 2", nullptr, 0, OxCommandMgr::kQueueBack, SmartPtr<OxLog>()));
  EXPECT_TRUE(manager.ExecuteCommand("echo 0", nullptr, 0, OxCommandMgr::kQueueFront, SmartPtr<OxLog>()));
  EXPECT_TRUE(g_runs.empty());
  for (int i = 3; i < 20; ++i)
    EXPECT_TRUE(manager.ExecuteCommand("echo q", nullptr, 0, OxCommandMgr::kQueueBack, SmartPtr<OxLog>()));
  EXPECT_EQ(manager.GetQueueSize(), 20);
  EXPECT_FALSE(manager.ExecuteCommand("echo full", nullptr, 0, OxCommandMgr::kQueueBack, SmartPtr<OxLog>()));
  EXPECT_FALSE(manager.ExecuteCommand("echo full", nullptr, 0, OxCommandMgr::kQueueFront, SmartPtr<OxLog>()));
  manager.ProcessQueue();
  ASSERT_EQ(g_runs.size(), 20u);
  EXPECT_EQ(g_runs[0], "echo|0");
  EXPECT_EQ(g_runs[1], "echo|1");
  EXPECT_EQ(g_runs[2], "echo|2");
  EXPECT_EQ(manager.GetQueueSize(), 0);
}

TEST_F(Commands, RegistrationAndIteration) {
  manager.RegisterCommand("echo", Other, "replaced", 1);
  EXPECT_TRUE(manager.ExecuteCommand("echo", nullptr, 1, OxCommandMgr::kRunNow, SmartPtr<OxLog>()));
  EXPECT_EQ(g_runs, std::vector<std::string>{"other"});
  std::string name, help;
  int level = -1;
  std::vector<std::string> names;
  for (bool more = manager.FirstCommand(name, help, level); more; more = manager.NextCommand(name, help, level))
    names.push_back(name + ":" + help + ":" + std::to_string(level));
  EXPECT_EQ(names, (std::vector<std::string>{"admin:needs level 5:5", "echo:replaced:1"}));
  EXPECT_FALSE(manager.NextCommand(name, help, level));
  EXPECT_TRUE(manager.UnregisterCommand("admin"));
  EXPECT_FALSE(manager.UnregisterCommand("admin"));
  EXPECT_FALSE(manager.ExecuteCommand("admin", nullptr, 9, OxCommandMgr::kRunNow, SmartPtr<OxLog>()));
  manager.RegisterCommand(std::string(40, 'n'), Other, std::string(200, 'h'), 0);
  EXPECT_TRUE(manager.ExecuteLine(std::string(31, 'n') + "xyz", SmartPtr<OxLog>())) << "names are cut at 31";
  manager.FirstCommand(name, help, level);
  EXPECT_EQ(name, "echo");
  manager.NextCommand(name, help, level);
  EXPECT_EQ(help.size(), 127u);
  manager.Shutdown();
  EXPECT_FALSE(manager.FirstCommand(name, help, level));
}
