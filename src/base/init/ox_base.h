#pragma once
// The base library's process-wide state, created on first use, brought up
// by oxBaseInit from a configuration text or file and taken down by
// oxBaseExit.
#include <atomic>
#include <cstdint>
#include <string>

#include "base/diagnostics/ox_cpu_info.h"
#include "base/objects/ox_engine.h"
#include "base/events/ox_event_broadcast.h"
#include "base/init/ox_process.h"
#include "base/objects/ox_smart_ptr.h"
#include "base/text/ox_unicode.h"

namespace ox_base {

class OxCommandMgrInst;
class OxFile;
class OxLog;

// config: a file name, or "+" followed by the configuration text. fileSystem:
// null for the built-in one. True when everything, engines included,
// started; on false the state has been taken down and GetLastMessage tells
// why.
bool oxBaseInit(const char* config, OxFile* fileSystem, int32_t reserved);
// Takes the state down when it exists; always true.
bool oxBaseExit();

class OxBase {
 public:
  // The instance, created empty when absent (once, also when several threads
  // ask first).
  static OxBase* Instance();
  // True while an instance exists (without creating one).
  static bool Exists();

  // The file system of the instance; the built-in one when none was given.
  static OxFile* GetFileSystem();
  // The root log / the "Base" log, or null when absent.
  static SmartPtr<OxLog> GetRootLog();
  static SmartPtr<OxLog> GetBaseLog();
  // "" when there is no instance.
  static std::string GetApplicationName();

  // Keeps the message (cut to 254 characters) in the last-message buffer
  // and, once initialised, logs it on the root log at ERROR.
  static void Print(const char* message);
  // Replaces the last-message buffer without logging.
  static void SetLastMessage(const std::string& message);
  static std::string GetLastMessage();
  // The log file name pattern filled with the name and, for an index other
  // than 0, "[index]".
  static std::string MakeLogFileName(const char* name, int index);

  // The code page the library's texts and the INI parser follow.
  static unsigned GetCodePage();
  static bool IsDbcsCodePage();  // 931 ... 969
  static bool IsUtfCodePage();   // 65000 and above

  int32_t m_reserved = 0;
  OxFile* m_pFileSystem = nullptr;
  SmartPtr<OxLog> m_rootLog;
  OxCpuInfo m_cpuInfo;
  OxEngineList m_engines;
  OxEventBroadcast m_eventBroadcast;
  OxCommandMgrInst* m_pCommandMgr = nullptr;
  OxProcessList m_processes;
  std::string m_applicationName = "base";
  std::string m_commandLine;
  std::string m_moduleDirectory;
  std::string m_modulePath;
  std::string m_computerName;
  std::string m_userName;
  std::string m_logFilePattern;
  SmartPtr<OxLog> m_baseLog;
  unsigned m_codePage = kLauncherCodePage;
  bool m_initialized = false;

 private:
  friend bool oxBaseExit();
  static std::atomic<OxBase*> s_instance;
};

}  // namespace ox_base
