#pragma once
// The log tree: named logs with a threshold, outputs and children. A message
// logged on a log also reaches the outputs of its ancestors.
#include <atomic>
#include <cstdarg>
#include <string>
#include <vector>

#include "base/log/ox_log_event.h"
#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"
#include "base/init/ox_spin_lock.h"

namespace ox_base {

// Longest message; longer ones are cut.
constexpr int kOxLogMessageMax = 1023;

class OxLog {
 public:
  explicit OxLog(std::string name);

  void SetPriority(int threshold) { m_threshold = threshold; }
  int GetPriority() const { return m_threshold; }
  // The threshold of the topmost ancestor (children's own do not count).
  int GetEffectivePriority() const;
  void SetAdditive(bool additive) { m_additive = additive; }

  // Dispatches the message without a threshold test. A message logged while
  // this log is dispatching (on any thread) is dropped.
  void Log(int priority, const char* format, ...) __attribute__((format(printf, 3, 4)));
  // Log at ERROR / INFO when the effective priority lets it through.
  void Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Info(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // False when an output of that name is attached already.
  bool AddOutput(const SmartPtr<OxLogOutput>& output);
  // False when the file does not open; true otherwise, even when the name
  // is taken (the new output is then dropped).
  bool AddFileOutput(const std::string& name, const std::string& path, bool append);
  // Standard output with "[%t %p] %m". The attribute is a Windows console
  // colour; it has no counterpart here.
  bool AddConsoleOutput(const std::string& name, unsigned short attribute);
  // The output of that name, or null.
  SmartPtr<OxLogOutput> GetOutput(const std::string& name);
  int GetOutputCount();

  // The child of that name, created when absent.
  SmartPtr<OxLog> GetChild(const std::string& name);
  // False when a child of that name exists.
  bool AddChild(const SmartPtr<OxLog>& child);
  void CloseOutputs();
  void DetachChildren();

  const std::string& GetName() const { return m_name; }
  OxLog* GetParent() const { return m_pParent; }

 private:
  void LogV(int priority, const char* format, va_list args);
  // Snapshot of the outputs, so writing happens outside the lock.
  std::vector<SmartPtr<OxLogOutput>> Outputs();

  std::atomic<int> m_busy{0};
  std::string m_name;
  int m_threshold = OX_LOG_TSET;
  bool m_additive = true;
  OxLog* m_pParent = nullptr;
  OxSpinLock m_outputsLock;
  std::vector<SmartPtr<OxLogOutput>> m_outputs;
  OxSpinLock m_childrenLock;
  std::vector<SmartPtr<OxLog>> m_children;
};

}  // namespace ox_base
