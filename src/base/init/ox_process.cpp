#include "base/init/ox_process.h"

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"

namespace ox_base {

void OxProcessList::RemoveProcess(const SmartPtr<OxProcess>& process) {
  SmartPtr<OxProcess> keep = process;  // the argument may be one of the entries
  size_t before = m_processes.size();
  m_processes.remove(keep);
  if (m_processes.size() != before && keep) keep->OnStopped();
}

void OxProcessList::DeleteProcessList() {
  if (SmartPtr<OxLog> root = OxBase::GetRootLog()) root->Info("DeleteProcessList Size[%d]\n", GetSize());
  while (!m_processes.empty()) RemoveProcess(m_processes.front());
}

}  // namespace ox_base
