// oxBaseInit and oxBaseExit: bringing the process-wide base state up from a
// configuration and taking it down again.
#include <cstdio>
#include <ctime>

#include "base/init/ox_base.h"
#include "base/objects/ox_command.h"
#include "base/events/ox_event.h"
#include "base/files/ox_file_ansi.h"
#include "base/ini/ox_ini.h"
#include "base/diagnostics/ox_local_time.h"
#include "base/log/ox_log.h"
#include "base/objects/ox_object.h"
#include "base/diagnostics/ox_process_info.h"
#include "base/text/ox_text.h"

namespace ox_base {
namespace {

constexpr int kMaxLogFileIndex = 9;

bool LoadConfiguration(OxIni& ini, const char* config) {
  if (config[0] == '+') {
    if (ini.LoadText(config + 1)) return true;
    OxBase::Print("Configuration string error\n");
    return false;
  }
  if (ini.LoadFile(config)) return true;
  char message[1000];
  std::snprintf(message, sizeof(message), "Configuration file '%s' open failed\n%s", config, ini.GetError().c_str());
  OxBase::Print(message);
  return false;
}

void AddLogFile(OxBase& base, OxIni& ini) {
  base.GetFileSystem()->MakeDirectory("log", false);
  std::time_t now = std::time(nullptr);
  const std::tm local = LocalTime(now);
  char pattern[64];
  std::snprintf(pattern, sizeof(pattern), "log/%%s%%s_%02d%02d%02d_%02d%02d%02d.log", local.tm_year + 1900 - 2000,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  base.m_logFilePattern = pattern;
  const char* name = base.m_applicationName.c_str();
  const char* configured = ini.GetString("base.log", "FileName");
  std::string fileName = configured ? configured : OxBase::MakeLogFileName(name, 0);
  if (base.m_rootLog->AddFileOutput("log", fileName, false)) return;
  bool multiFile = false;
  ini.GetBool("base.log", "MultiFile", multiFile);
  if (multiFile) {
    for (int index = 2; index <= kMaxLogFileIndex; ++index) {
      if (base.m_rootLog->AddFileOutput("log", OxBase::MakeLogFileName(name, index), false)) return;
    }
    return;
  }
  std::string warning = OxText(
      "无法打开Log文件 '%s'\n"
      "      可能是只读，磁盘空间不够或者已经被其他应用打开\n"
      "      也有可能是因为在同一目录同时开了两个相同应用\n"
      "  应用程序将忽略这一错误，Log将不再记录在文件中\n");
  base.m_rootLog->Info(warning.c_str(), fileName.c_str());
}

bool Initialize(OxBase& base, const char* config, OxFile* fileSystem, int32_t reserved) {
  if (!config) {
    OxBase::Print("The oxBaseInit first parameter of the configuration file must");
    return false;
  }
  base.m_codePage = 0;
  base.m_reserved = reserved;

  base.m_rootLog = SmartPtr<OxLog>(new OxLog("root"));
  base.m_baseLog = base.m_rootLog->GetChild("Base");

  OxProcessInfo process = ReadProcessInfo();
  base.m_commandLine = process.commandLine;
  base.m_modulePath = process.modulePath;
  base.m_moduleDirectory = process.moduleDirectory;
  base.m_computerName = process.computerName;
  base.m_userName = process.userName;
  ReadCpuInfo(base.m_cpuInfo);

  base.m_pFileSystem = fileSystem ? fileSystem : OxFileAnsi::Instance();
  base.m_pFileSystem->Initialize();

  OxIni ini;
  if (!LoadConfiguration(ini, config)) return false;
  const char* name = ini.GetString("base", "Name");
  base.m_applicationName = name ? name : "base";
  int32_t codePage = kLauncherCodePage;
  ini.GetInt("base", "codepage", codePage);
  base.m_codePage = static_cast<unsigned>(codePage);

  int32_t priority = 0;
  if (ini.GetInt("base.log", "Priority", priority)) base.m_rootLog->SetPriority(priority);
  bool console = false;
  if (ini.GetBool("base.log", "Console", console) && console) base.m_rootLog->AddConsoleOutput("console", 0);
  bool file = false;
  if (ini.GetBool("base.log", "File", file) && file) AddLogFile(base, ini);

  base.m_initialized = true;
  base.m_rootLog->Info("Base initialized.\n");

  StartEventSystem();
  OxClassInfo::FinalizeClasses();
  base.m_eventBroadcast.InitBroadcast();
  delete base.m_pCommandMgr;  // left by an earlier initialisation without exit
  base.m_pCommandMgr = new OxCommandMgrInst;
  base.m_pCommandMgr->Initialize();

  return base.m_engines.StartEngines(ini);
}

}  // namespace

bool oxBaseInit(const char* config, OxFile* fileSystem, int32_t reserved) {
  if (Initialize(*OxBase::Instance(), config, fileSystem, reserved)) return true;
  oxBaseExit();
  return false;
}

bool oxBaseExit() {
  OxBase* base = OxBase::s_instance.load(std::memory_order_acquire);
  if (!base) return true;
  if (base->m_rootLog) base->m_rootLog->Info("Base exit.\n");
  if (base->m_pCommandMgr) {
    base->m_pCommandMgr->Shutdown();
    delete base->m_pCommandMgr;
    base->m_pCommandMgr = nullptr;
  }
  base->m_processes.DeleteProcessList();
  base->m_engines.StopEngines();
  OxClassInfo::ReleaseClasses();
  StopEventSystem();
  base->m_eventBroadcast.ClearBroadcast();

  base->m_baseLog.Reset();
  if (base->m_rootLog) {
    base->m_rootLog->DetachChildren();
    base->m_rootLog->CloseOutputs();
    base->m_rootLog.Reset();
  }
  if (base->m_pFileSystem) base->m_pFileSystem->Shutdown();
  base->m_pFileSystem = nullptr;

  OxBase::s_instance.store(nullptr, std::memory_order_release);
  delete base;
  return true;
}

}  // namespace ox_base
