#pragma once
// Console-style commands: registered by name, executed from a text line at
// once or queued (at most 20 pending).
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "base/objects/ox_smart_ptr.h"

namespace ox_base {

class OxLog;

// A parsed command line and who asked for it.
struct OxCommandContext {
  std::string line;                    // at most 2047 characters
  std::string command;                 // the command word, at most 31
  std::vector<std::string> arguments;  // at most 64
  void* caller = nullptr;              // the caller's values, passed through
  SmartPtr<OxLog> log;                 // receives the command's output
};

using OxCommandHandler = bool (*)(const OxCommandContext& context, const SmartPtr<OxLog>& log);

class OxCommandMgr {
 public:
  enum Mode { kRunNow = 0, kQueueBack = 1, kQueueFront = 2 };

  virtual ~OxCommandMgr() = default;
  virtual bool Initialize() = 0;
  // Drops all commands and pending contexts.
  virtual void Shutdown() = 0;
  // Replaces a command of the same name.
  virtual bool RegisterCommand(const std::string& name, OxCommandHandler handler, const std::string& help,
                               int level) = 0;
  virtual bool UnregisterCommand(const std::string& name) = 0;
  // False for an unknown command or a caller level below the command's.
  // kRunNow: the handler's result; queueing: false when 20 are pending.
  virtual bool ExecuteCommand(const std::string& line, void* caller, int level, int mode,
                              const SmartPtr<OxLog>& log) = 0;
  virtual bool ExecuteLine(const std::string& line, const SmartPtr<OxLog>& log) = 0;
  virtual void ProcessQueue() = 0;
  // Commands in name order; false at the end.
  virtual bool FirstCommand(std::string& name, std::string& help, int& level) = 0;
  virtual bool NextCommand(std::string& name, std::string& help, int& level) = 0;
};

class OxCommandMgrInst : public OxCommandMgr {
 public:
  static constexpr int kMaxQueue = 20;

  bool Initialize() override { return true; }
  void Shutdown() override;
  bool RegisterCommand(const std::string& name, OxCommandHandler handler, const std::string& help,
                       int level) override;
  bool UnregisterCommand(const std::string& name) override;
  bool ExecuteCommand(const std::string& line, void* caller, int level, int mode,
                      const SmartPtr<OxLog>& log) override;
  bool ExecuteLine(const std::string& line, const SmartPtr<OxLog>& log) override;
  void ProcessQueue() override;
  bool FirstCommand(std::string& name, std::string& help, int& level) override;
  bool NextCommand(std::string& name, std::string& help, int& level) override;

  int GetQueueSize() const { return static_cast<int>(m_queue.size()); }

 private:
  struct Command {
    std::string name;
    OxCommandHandler handler;
    std::string help;
    int level;
  };
  bool Current(std::string& name, std::string& help, int& level);

  std::map<std::string, Command> m_commands;
  std::map<std::string, Command>::iterator m_cursor = m_commands.end();
  std::deque<OxCommandContext> m_queue;
};

}  // namespace ox_base
