#pragma once
// Helpers for base-library tests: a log output that keeps what it is given,
// and a capture of the base state's logs.
#include <string>
#include <vector>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"

namespace ox_test {

// Keeps every formatted line it writes.
class RecordingOutput : public ox_base::OxLogOutput {
 public:
  explicit RecordingOutput(const std::string& name) : OxLogOutput(name) {}
  void Write(const ox_base::OxLogEvent& event) override {
    lines.push_back(FormatLine(event));
    events.push_back(event);
  }
  std::vector<std::string> lines;
  std::vector<ox_base::OxLogEvent> events;
};

// Installs a root log with a "Base" child on the base state for one test and
// records what reaches the root; removes both afterwards.
class BaseLogCapture {
 public:
  BaseLogCapture() : m_root(new ox_base::OxLog("root")), m_output(new RecordingOutput("capture")) {
    m_root->AddOutput(m_output);
    ox_base::OxBase* base = ox_base::OxBase::Instance();
    base->m_rootLog = m_root;
    base->m_baseLog = m_root->GetChild("Base");
  }
  ~BaseLogCapture() {
    ox_base::OxBase* base = ox_base::OxBase::Instance();
    base->m_baseLog.Reset();
    base->m_rootLog.Reset();
    m_root->DetachChildren();
    m_root->CloseOutputs();
  }
  RecordingOutput& Output() { return *static_cast<RecordingOutput*>(m_output.Get()); }
  std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const auto& event : Output().events) messages.push_back(event.message);
    return messages;
  }

 private:
  ox_base::SmartPtr<ox_base::OxLog> m_root;
  ox_base::SmartPtr<ox_base::OxLogOutput> m_output;
};

}  // namespace ox_test
