#pragma once
// Timed processes kept by the base state; programs built on the library add
// them, base exit empties the list.
#include <list>

#include "base/objects/ox_smart_ptr.h"

namespace ox_base {

class OxProcess {
 public:
  virtual ~OxProcess() = default;
  // Told when the process is taken off the list.
  virtual void OnStopped() {}
};

class OxProcessList {
 public:
  void AddProcess(const SmartPtr<OxProcess>& process) { m_processes.push_back(process); }
  // Removes every entry holding the process and tells it it has stopped.
  void RemoveProcess(const SmartPtr<OxProcess>& process);
  // Logs the size on the root log, then removes entries from the front.
  void DeleteProcessList();
  int GetSize() const { return static_cast<int>(m_processes.size()); }

 private:
  std::list<SmartPtr<OxProcess>> m_processes;
};

}  // namespace ox_base
