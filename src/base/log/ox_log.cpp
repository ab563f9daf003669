#include "base/log/ox_log.h"

#include <cstdarg>
#include <cstdio>

namespace ox_base {

const char* OxLogPriorityName(int priority) {
  static const char* const kNames[] = {"FATAL", "ALERT", "CRIT", "ERROR", "WARN", "NOTICE", "INFO", "DEBUG", "TSET"};
  return (priority >= 0 && priority <= OX_LOG_TSET) ? kNames[priority] : "";
}

OxLog::OxLog(std::string name) : m_name(std::move(name)) {}

int OxLog::GetEffectivePriority() const {
  const OxLog* top = this;
  while (top->m_pParent) top = top->m_pParent;
  return top->m_threshold;
}

void OxLog::Log(int priority, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogV(priority, format, args);
  va_end(args);
}

void OxLog::Error(const char* format, ...) {
  if (GetEffectivePriority() < OX_LOG_ERROR) return;
  va_list args;
  va_start(args, format);
  LogV(OX_LOG_ERROR, format, args);
  va_end(args);
}

void OxLog::Info(const char* format, ...) {
  if (GetEffectivePriority() < OX_LOG_INFO) return;
  va_list args;
  va_start(args, format);
  LogV(OX_LOG_INFO, format, args);
  va_end(args);
}

void OxLog::LogV(int priority, const char* format, va_list args) {
  if (m_busy.exchange(1, std::memory_order_acquire) == 1) return;
  char message[kOxLogMessageMax + 1];
  std::vsnprintf(message, sizeof(message), format, args);
  OxLogEvent event;
  event.category = m_name;
  event.message = message;
  event.file = "test";
  event.line = 0;
  event.priority = priority;
  event.time = std::time(nullptr);
  for (const SmartPtr<OxLogOutput>& output : Outputs()) output->Append(event);
  if (m_additive) {
    for (OxLog* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) {
      for (const SmartPtr<OxLogOutput>& output : ancestor->Outputs()) output->Append(event);
    }
  }
  m_busy.store(0, std::memory_order_release);
}

std::vector<SmartPtr<OxLogOutput>> OxLog::Outputs() {
  OxSpinGuard guard(m_outputsLock);
  return m_outputs;
}

bool OxLog::AddOutput(const SmartPtr<OxLogOutput>& output) {
  if (!output) return false;
  OxSpinGuard guard(m_outputsLock);
  for (const SmartPtr<OxLogOutput>& existing : m_outputs) {
    if (existing->GetName() == output->GetName()) return false;
  }
  m_outputs.push_back(output);
  return true;
}

bool OxLog::AddFileOutput(const std::string& name, const std::string& path, bool append) {
  OxLogOutputFile* file = new OxLogOutputFile(name, path, append);
  SmartPtr<OxLogOutput> output(file);
  if (!file->Open()) return false;
  AddOutput(output);
  return true;
}

bool OxLog::AddConsoleOutput(const std::string& name, unsigned short /*attribute*/) {
  AddOutput(SmartPtr<OxLogOutput>(new OxLogOutputConsole(name)));
  return true;
}

SmartPtr<OxLogOutput> OxLog::GetOutput(const std::string& name) {
  for (const SmartPtr<OxLogOutput>& output : Outputs()) {
    if (output->GetName() == name) return output;
  }
  return SmartPtr<OxLogOutput>();
}

int OxLog::GetOutputCount() { return static_cast<int>(Outputs().size()); }

SmartPtr<OxLog> OxLog::GetChild(const std::string& name) {
  OxSpinGuard guard(m_childrenLock);
  for (const SmartPtr<OxLog>& child : m_children) {
    if (child->GetName() == name) return child;
  }
  SmartPtr<OxLog> child(new OxLog(name));
  child->m_pParent = this;
  m_children.push_back(child);
  return child;
}

bool OxLog::AddChild(const SmartPtr<OxLog>& child) {
  if (!child) return false;
  OxSpinGuard guard(m_childrenLock);
  for (const SmartPtr<OxLog>& existing : m_children) {
    if (existing->GetName() == child->GetName()) return false;
  }
  child->m_pParent = this;
  m_children.push_back(child);
  return true;
}

void OxLog::CloseOutputs() {
  std::vector<SmartPtr<OxLogOutput>> released;
  {
    OxSpinGuard guard(m_outputsLock);
    released.swap(m_outputs);
  }
}

void OxLog::DetachChildren() {
  std::vector<SmartPtr<OxLog>> released;
  {
    OxSpinGuard guard(m_childrenLock);
    released.swap(m_children);
  }
  for (const SmartPtr<OxLog>& child : released) child->m_pParent = nullptr;
}

}  // namespace ox_base
