#pragma once
// Helpers for base-library tests: a fresh temporary directory that is also
// the current directory, and a log output that keeps what it is given.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/ox_base.h"
#include "base/ox_log.h"

namespace ox_test {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/farlaunch-base-XXXXXX";
    m_path = ::mkdtemp(pattern);
    m_previous = std::filesystem::current_path();
    std::filesystem::current_path(m_path);
  }
  ~TempDir() {
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::filesystem::path m_previous;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

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
