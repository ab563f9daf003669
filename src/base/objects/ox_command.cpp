#include "base/objects/ox_command.h"

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"

namespace ox_base {
namespace {

constexpr size_t kMaxName = 31;
constexpr size_t kMaxHelp = 127;
constexpr size_t kMaxLine = 2047;
constexpr size_t kMaxArguments = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The words of the line; the first is the command.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

}  // namespace

void OxCommandMgrInst::Shutdown() {
  m_commands.clear();
  m_cursor = m_commands.end();
  m_queue.clear();
}

bool OxCommandMgrInst::RegisterCommand(const std::string& name, OxCommandHandler handler, const std::string& help,
                                       int level) {
  std::string key = name.substr(0, kMaxName);
  if (key.empty() || !handler) return false;
  m_commands[key] = Command{key, handler, help.substr(0, kMaxHelp), level};
  m_cursor = m_commands.end();
  return true;
}

bool OxCommandMgrInst::UnregisterCommand(const std::string& name) {
  m_cursor = m_commands.end();
  return m_commands.erase(name.substr(0, kMaxName)) != 0;
}

bool OxCommandMgrInst::ExecuteCommand(const std::string& line, void* caller, int level, int mode,
                                      const SmartPtr<OxLog>& log) {
  OxCommandContext context;
  context.line = line.substr(0, kMaxLine);
  std::vector<std::string> words = SplitWords(context.line);
  if (words.empty()) return false;
  context.command = words[0].substr(0, kMaxName);
  auto found = m_commands.find(context.command);
  if (found == m_commands.end() || level < found->second.level) return false;
  words.erase(words.begin());
  if (words.size() > kMaxArguments) words.resize(kMaxArguments);
  context.arguments = std::move(words);
  context.caller = caller;
  context.log = log ? log : OxBase::GetRootLog();
  switch (mode) {
    case kRunNow: return found->second.handler(context, context.log);
    case kQueueBack:
    case kQueueFront:
      if (m_queue.size() >= kMaxQueue) return false;
      if (mode == kQueueBack)
        m_queue.push_back(std::move(context));
      else
        m_queue.push_front(std::move(context));
      return true;
    default: return false;
  }
}

bool OxCommandMgrInst::ExecuteLine(const std::string& line, const SmartPtr<OxLog>& log) {
  return ExecuteCommand(line, nullptr, 0, kRunNow, log);
}

void OxCommandMgrInst::ProcessQueue() {
  while (!m_queue.empty()) {
    OxCommandContext context = std::move(m_queue.front());
    m_queue.pop_front();
    // A command unregistered while pending is skipped.
    auto found = m_commands.find(context.command);
    if (found != m_commands.end()) found->second.handler(context, context.log);
  }
}

bool OxCommandMgrInst::Current(std::string& name, std::string& help, int& level) {
  if (m_cursor == m_commands.end()) return false;
  name = m_cursor->second.name;
  help = m_cursor->second.help;
  level = m_cursor->second.level;
  return true;
}

bool OxCommandMgrInst::FirstCommand(std::string& name, std::string& help, int& level) {
  m_cursor = m_commands.begin();
  return Current(name, help, level);
}

bool OxCommandMgrInst::NextCommand(std::string& name, std::string& help, int& level) {
  if (m_cursor == m_commands.end()) return false;
  ++m_cursor;
  return Current(name, help, level);
}

}  // namespace ox_base
