#include "base/diagnostics/ox_debug.h"

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"

namespace ox_base {

COxDebug g_oxDebugLog("log");
COxDebug g_oxDebugErr("err");

void COxDebug::Print(const char* text) {
  SmartPtr<OxLog> root = OxBase::GetRootLog();
  if (!root) return;
  if (m_name == "err")
    root->Error("%s", text);
  else
    root->Info("%s", text);
}

}  // namespace ox_base
