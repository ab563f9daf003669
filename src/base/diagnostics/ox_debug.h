#pragma once
// Debug sinks: debug text routed into the root log, or nowhere.
#include <string>

namespace ox_base {

class CDebugInterface {
 public:
  virtual ~CDebugInterface() = default;
  virtual void Print(const char* text) = 0;
  virtual void PrintString(const std::string& text) = 0;
};

class CNullDebug : public CDebugInterface {
 public:
  void Print(const char*) override {}
  void PrintString(const std::string&) override {}
};

// The sink named "err" writes to the root log at ERROR, any other at INFO.
class COxDebug : public CDebugInterface {
 public:
  explicit COxDebug(std::string name) : m_name(std::move(name)) {}
  void Print(const char* text) override;
  void PrintString(const std::string& text) override { Print(text.c_str()); }

 private:
  std::string m_name;
};

// The process-wide sinks "log" and "err".
extern COxDebug g_oxDebugLog;
extern COxDebug g_oxDebugErr;

}  // namespace ox_base
