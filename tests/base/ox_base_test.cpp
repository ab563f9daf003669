#include "base/init/ox_base.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <thread>

#include "base/objects/ox_engine.h"
#include "base/events/ox_event.h"
#include "base/files/ox_file.h"
#include "base/ini/ox_ini.h"
#include "base/log/ox_log.h"
#include "base/text/ox_unicode.h"
#include "base_test_support.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"

using namespace ox_base;

namespace {

const char kLauncherConfig[] =
    "+[base]\nName = \"patch\"\n[base.memory]\nMemBreak    = 0\nLeakBreak   = false\nDumpMemLeak = false\n"
    "[base.log]\nConsole = false\nFile = false\nMultiFile = true\n[base.engine]\n";

std::string Config(const std::string& log, const std::string& engines = "") {
  return "+[base]\nName = \"patch\"\n[base.log]\n" + log + "[base.engine]\n" + engines;
}

std::vector<std::string> g_journal;

// An engine that records its start and shutdown.
class JournalEngine : public OxEngine {
 public:
  JournalEngine() : m_name("journal" + std::to_string(++s_count)) {}
  const OxClassInfo* GetClassInfo() const override { return &s_classInfo; }
  const char* GetName() const override { return m_name.c_str(); }
  bool Startup(OxIni& config) override {
    g_journal.push_back("start " + m_name + " mip " + std::to_string(GetMipLevel()) + " name " +
                        config.GetText("base", "Name"));
    return true;
  }
  void Shutdown() override { g_journal.push_back("stop " + m_name); }
  bool WantsTick() const override { return s_count % 2 == 1; }

  static OxClassInfo s_classInfo;
  static int s_count;

 private:
  std::string m_name;
};
int JournalEngine::s_count = 0;
OxClassInfo JournalEngine::s_classInfo("JournalEngine", 0, sizeof(JournalEngine),
                                       [] { return static_cast<OxObject*>(new JournalEngine); },
                                       &OxEngine::s_classInfo, nullptr);

// An engine whose start-up fails, with or without its own message.
class RefusingEngine : public OxEngine {
 public:
  const OxClassInfo* GetClassInfo() const override { return &s_classInfo; }
  const char* GetName() const override { return "refuser"; }
  bool Startup(OxIni& config) override {
    if (config.FindSection("explain")) OxBase::SetLastMessage("disk on fire");
    return false;
  }
  void Shutdown() override { g_journal.push_back("stop refuser"); }
  static OxClassInfo s_classInfo;
};
OxClassInfo RefusingEngine::s_classInfo("RefusingEngine", 0, sizeof(RefusingEngine),
                                        [] { return static_cast<OxObject*>(new RefusingEngine); },
                                        &OxEngine::s_classInfo, nullptr);

class BaseTest : public testing::Test {
 protected:
  void SetUp() override { g_journal.clear(); }
  void TearDown() override { oxBaseExit(); }
  CurrentTempDir m_dir;
};

}  // namespace

TEST_F(BaseTest, LauncherTextInitialisesWithoutLogFiles) {
  ASSERT_TRUE(oxBaseInit(kLauncherConfig, nullptr, 0)) << OxBase::GetLastMessage();
  OxBase* base = OxBase::Instance();
  EXPECT_EQ(base->m_applicationName, "patch");
  EXPECT_EQ(OxBase::GetCodePage(), 936u);
  EXPECT_TRUE(OxBase::IsDbcsCodePage());
  EXPECT_FALSE(OxBase::IsUtfCodePage());
  EXPECT_TRUE(base->m_initialized);
  EXPECT_EQ(OxBase::GetRootLog()->GetOutputCount(), 0);
  EXPECT_EQ(OxBase::GetBaseLog()->GetName(), "Base");
  EXPECT_EQ(OxBase::GetBaseLog()->GetParent(), OxBase::GetRootLog().Get());
  EXPECT_FALSE(std::filesystem::exists("log"));
  EXPECT_TRUE(base->m_engines.GetEngines().empty());
  EXPECT_TRUE(OxEvent::bInitialized);
  EXPECT_EQ(GetEventArgBufferSize(), kOxEventArgBufferSize);
  EXPECT_EQ(base->m_eventBroadcast.GetChainCount(), OxEvent::GetDefinitionCount());
  EXPECT_NE(base->m_pCommandMgr, nullptr);
  EXPECT_NE(OxClassInfo::FindClass("OxEngine"), nullptr);

  char exe[4096];
  ssize_t length = ::readlink("/proc/self/exe", exe, sizeof(exe));
  EXPECT_EQ(base->m_modulePath, std::string(exe, length));
  EXPECT_EQ(base->m_moduleDirectory + "base_init_tests", base->m_modulePath);
  EXPECT_NE(base->m_commandLine.find("base_init_tests"), std::string::npos);
  char host[256] = {};
  ::gethostname(host, sizeof(host) - 1);
  EXPECT_EQ(base->m_computerName, host);
  EXPECT_FALSE(base->m_userName.empty());

  EXPECT_TRUE(oxBaseExit());
  EXPECT_FALSE(OxBase::Exists());
  EXPECT_FALSE(OxEvent::bInitialized);
  EXPECT_FALSE(OxClassInfo::IsFinalized());
  EXPECT_TRUE(oxBaseExit()) << "nothing to take down";
}

TEST_F(BaseTest, FailuresLeaveNoInstanceButTheMessage) {
  EXPECT_FALSE(oxBaseInit(nullptr, nullptr, 0));
  EXPECT_EQ(OxBase::GetLastMessage(), "The oxBaseInit first parameter of the configuration file must");
  EXPECT_FALSE(OxBase::Exists());

  EXPECT_FALSE(oxBaseInit("+[base]\nName = \"patch\"\n[base.log]\nFile = true\n", nullptr, 0));
  EXPECT_EQ(OxBase::GetLastMessage(), "[base.engine] not found. cannot startup engine.");
  EXPECT_FALSE(OxBase::Exists());

  EXPECT_FALSE(oxBaseInit("+[base]\nName = two words\n[base.engine]\n", nullptr, 0));
  EXPECT_EQ(OxBase::GetLastMessage(), "Configuration string error\n");

  EXPECT_FALSE(oxBaseInit("missing.cfg", nullptr, 0));
  EXPECT_EQ(OxBase::GetLastMessage(),
            "Configuration file 'missing.cfg' open failed\nmissing.cfg" + Gbk("文件找不到或者打不开。"));
  EXPECT_FALSE(OxBase::Exists());

  WriteFile("app.cfg", "[base]\nName = \"fromfile\"\ncodepage = 65001\n[base.engine]\n");
  ASSERT_TRUE(oxBaseInit("app.cfg", nullptr, 7));
  EXPECT_EQ(OxBase::GetApplicationName(), "fromfile");
  EXPECT_EQ(OxBase::GetCodePage(), 65001u);
  EXPECT_TRUE(OxBase::IsUtfCodePage());
  EXPECT_EQ(OxBase::Instance()->m_reserved, 7);
}

TEST_F(BaseTest, LogFileStartsWithTheInitialisedLine) {
  ASSERT_TRUE(oxBaseInit(Config("File = true\n").c_str(), nullptr, 0));
  std::vector<std::string> names;
  OxBase::GetFileSystem()->ListDirectory(names, "log", true, false);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(patch_\d{6}_\d{6}\.log)"))) << names[0];
  std::string text = ReadFile("log/" + names[0]);
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(^\[\d{8} \d\d:\d\d:\d\d INFO root\] Base initialized\.\n)")))
      << text;
  EXPECT_NE(text.find("Startup engine\n"), std::string::npos) << "the Base log reaches the root's file";
  EXPECT_EQ(OxBase::MakeLogFileName("x", 0), "log/x" + names[0].substr(5));
  EXPECT_EQ(OxBase::MakeLogFileName("x", 3), "log/x[3]" + names[0].substr(5));

  OxBase::Print("printed\n");
  EXPECT_EQ(OxBase::GetLastMessage(), "printed\n");
  oxBaseExit();
  text = ReadFile("log/" + names[0]);
  EXPECT_NE(text.find(" ERROR root] printed\n"), std::string::npos);
  EXPECT_NE(text.find(" INFO root] Base exit.\n"), std::string::npos);
}

TEST_F(BaseTest, UnopenableLogFileTriesNumberedNamesOrWarns) {
  // With MultiFile the numbered names are tried: the configured name fails,
  // "[2]" opens.
  ASSERT_TRUE(oxBaseInit(Config("File = true\nFileName = \"no/such/dir.log\"\nMultiFile = true\n").c_str(), nullptr, 0));
  std::vector<std::string> names;
  OxBase::GetFileSystem()->ListDirectory(names, "log", true, false);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(patch\[2\]_\d{6}_\d{6}\.log)"))) << names[0];
  oxBaseExit();
  std::filesystem::remove_all("log");

  // "log" is a file: no log file can be opened under it.
  WriteFile("log", "");
  ASSERT_TRUE(oxBaseInit(Config("File = true\nMultiFile = true\n").c_str(), nullptr, 0));
  EXPECT_EQ(OxBase::GetRootLog()->GetOutputCount(), 0) << "all names failed, quietly";
  oxBaseExit();

  testing::internal::CaptureStdout();
  ASSERT_TRUE(oxBaseInit(Config("Console = true\nFile = true\nMultiFile = false\n").c_str(), nullptr, 0));
  EXPECT_EQ(OxBase::GetRootLog()->GetOutputCount(), 1);
  EXPECT_NE(OxBase::GetRootLog()->GetOutput("console").Get(), nullptr);
  oxBaseExit();
  std::string out = testing::internal::GetCapturedStdout();
  std::string warning = Gbk("无法打开Log文件 '") + "log/patch_";
  EXPECT_NE(out.find(warning), std::string::npos) << out;
  EXPECT_NE(out.find(Gbk("  应用程序将忽略这一错误，Log将不再记录在文件中\n")), std::string::npos);
  EXPECT_NE(out.find(" INFO] Base initialized.\n"), std::string::npos);
}

TEST_F(BaseTest, EnginesStartFromTheSectionAndStopInReverse) {
  ASSERT_TRUE(oxBaseInit(Config("", "Render = \"local,JournalEngine\"\nMipLevel = \"x,3\"\n"
                                    "Actor = \"local,JournalEngine\"\n")
                             .c_str(),
                         nullptr, 0))
      << OxBase::GetLastMessage();
  const std::list<OxEngine*>& engines = OxBase::Instance()->m_engines.GetEngines();
  ASSERT_EQ(engines.size(), 2u);
  EXPECT_STREQ(engines.front()->GetName(), "journal2") << "most recent first";
  EXPECT_EQ(engines.front()->GetMipLevel(), 3);
  EXPECT_EQ(OxBase::Instance()->m_engines.GetTickEngines().size(), 1u);
  oxBaseExit();
  EXPECT_EQ(g_journal, (std::vector<std::string>{"start journal1 mip 0 name patch", "start journal2 mip 3 name patch",
                                                 "stop journal2", "stop journal1"}));
}

TEST_F(BaseTest, EngineStartFailuresAreExplained) {
  struct Case {
    std::string engines;
    std::string message;
  };
  std::vector<Case> cases = {
      {"Render = \"local,NoSuchClass\"\n", "Local engine [Render] class [NoSuchClass] not found."},
      {"Render = \"remote,JournalEngine\"\n", "Create engine [Render] instance failed."},
      {"Render = \"local,OxEngine\"\n", "Create engine [Render] instance failed."},
      {"Render = \"local,OxObject\"\n", "Create engine [Render] instance failed."},
      {"Render = \"local,RefusingEngine\"\n", "Startup engine [refuser] failed."},
      {"Render = \"local,RefusingEngine\"\n[explain]\n", "disk on fire"},
      {"MipLevel = 3\n", ""},
      {"Render = \"local,JournalEngine,x\"\n", ""},
  };
  for (const Case& c : cases) {
    OxBase::SetLastMessage("");
    EXPECT_FALSE(oxBaseInit(Config("", c.engines).c_str(), nullptr, 0)) << c.engines;
    EXPECT_EQ(OxBase::GetLastMessage(), c.message) << c.engines;
    EXPECT_FALSE(OxBase::Exists());
  }
  EXPECT_EQ(g_journal, std::vector<std::string>{}) << "a refused engine is destroyed, not shut down";

  // An engine started before a failing one is shut down by the exit.
  EXPECT_FALSE(oxBaseInit(Config("", "A = \"local,JournalEngine\"\nB = \"local,Nope\"\n").c_str(), nullptr, 0));
  ASSERT_EQ(g_journal.size(), 2u);
  EXPECT_EQ(g_journal[1], "stop " + g_journal[0].substr(6, 8));
}

TEST_F(BaseTest, AbstractEngineCreationIsLogged) {
  ASSERT_TRUE(oxBaseInit(kLauncherConfig, nullptr, 0));
  ox_test::RecordingOutput* output = new ox_test::RecordingOutput("rec");
  OxBase::GetRootLog()->AddOutput(SmartPtr<OxLogOutput>(output));
  EXPECT_EQ(OxClassInfo::CreateObject(OxClassInfo::FindClass("OxEngine")), nullptr);
  ASSERT_EQ(output->events.size(), 1u);
  EXPECT_EQ(output->events[0].message, "Cannot instanciate abstract class OxEngine.");
  EXPECT_EQ(output->events[0].category, "Base");
  EXPECT_EQ(output->events[0].priority, OX_LOG_ERROR);
}

TEST_F(BaseTest, ConsoleOutputAndPriorityFromTheConfiguration) {
  testing::internal::CaptureStdout();
  ASSERT_TRUE(oxBaseInit(Config("Console = true\nPriority = 3\n").c_str(), nullptr, 0));
  EXPECT_EQ(OxBase::GetRootLog()->GetOutputCount(), 1);
  OxBase::GetRootLog()->AddConsoleOutput("console", 0);
  EXPECT_EQ(OxBase::GetRootLog()->GetOutputCount(), 1) << "a second \"console\" is refused";
  EXPECT_EQ(OxBase::GetRootLog()->GetEffectivePriority(), 3);
  OxBase::GetBaseLog()->Info("hidden\n");
  OxBase::GetBaseLog()->Error("shown\n");
  oxBaseExit();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("hidden"), std::string::npos);
  EXPECT_NE(out.find(" ERROR] shown\n"), std::string::npos);
}

TEST(OxBaseInstance, OneInstanceForConcurrentFirstUse) {
  std::vector<OxBase*> seen(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([&seen, t] { seen[t] = OxBase::Instance(); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::set<OxBase*>(seen.begin(), seen.end()).size(), 1u);
  EXPECT_EQ(OxBase::GetApplicationName(), "base");
  oxBaseExit();
  EXPECT_FALSE(OxBase::Exists());
}

TEST(OxBasePrint, LastMessageIsKeptAndCut) {
  OxBase::Print(std::string(300, 'x').c_str());
  EXPECT_EQ(OxBase::GetLastMessage(), std::string(254, 'x'));
}
