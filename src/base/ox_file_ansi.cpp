#include "base/ox_file_ansi.h"

#include "base/ox_atomic_save.h"
#include "base/ox_base.h"
#include "base/ox_log.h"
#include "base/ox_path.h"

namespace ox_base {

OxFileAnsi* OxFileAnsi::Instance() {
  static OxFileAnsi instance;
  return &instance;
}

bool OxFileAnsi::ReplaceContents(const std::string& path, const std::string& bytes, bool force) {
  std::string reason = "its name has no form on this system";
  const std::optional<std::string> native = ToNativePath(path);
  if (native && !native->empty() && SaveAtomically(*native, bytes, force, reason)) return true;
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog())
    log->Error("OxFile: Saving %s failed: %s\n", path.c_str(), reason.c_str());
  return false;
}

}  // namespace ox_base
