#pragma once
// The base library's process-wide state, created on first use.
#include <atomic>
#include <string>

#include "base/ox_smart_ptr.h"

namespace ox_base {

class OxFile;
class OxLog;

class OxBase {
 public:
  // The instance, created empty when absent (once, also when several threads
  // ask first).
  static OxBase* Instance();

  // The file system of the instance; the built-in one when none was given.
  static OxFile* GetFileSystem();
  // The root log / the "Base" log, or null when absent.
  static SmartPtr<OxLog> GetRootLog();
  static SmartPtr<OxLog> GetBaseLog();
  // "" when there is no instance.
  static std::string GetApplicationName();

  // The code page the library's texts and the INI parser follow.
  static unsigned GetCodePage();
  static bool IsDbcsCodePage();  // 931 ... 969
  static bool IsUtfCodePage();   // 65000 and above

  OxFile* m_pFileSystem = nullptr;
  SmartPtr<OxLog> m_rootLog;
  SmartPtr<OxLog> m_baseLog;
  std::string m_applicationName = "base";
  unsigned m_codePage = 936;

 private:
  static std::atomic<OxBase*> s_instance;
};

}  // namespace ox_base
