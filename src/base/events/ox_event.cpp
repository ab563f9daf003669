#include "base/events/ox_event.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/diagnostics/ox_assert.h"
#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/text/ox_text.h"

namespace ox_base {
namespace {

const char kUnit[] = "dlls/base/ox_event";

// Definitions are made before main, in any order of translation units, so
// the process-wide state is reached through functions.
struct Definitions {
  std::vector<OxEvent*> table;
  bool startupError = false;
  std::string startupMessage;
};
Definitions& State() {
  static Definitions state;
  return state;
}

struct EventInstance {
  EventInstance* prev = nullptr;
  EventInstance* next = nullptr;
  const OxEvent* definition = nullptr;
  std::vector<char> arguments;
  std::string text;
};

struct Pool {
  EventInstance instances[kOxEventPoolSize];
  EventInstance* freeList = nullptr;
  EventInstance* usedList = nullptr;
  std::unique_ptr<char[]> argBuffer;
  int argBufferSize = 0;
};
Pool& EventPool() {
  static Pool pool;
  return pool;
}

int ArgumentSize(char c) {
  switch (c) {
    case 'I': case 'V': return 8;
    case 'i': case 'd': case 'f': case 'S': case 'p': case 'm': case 'o': return 4;
    case 'b': case 'c': return 1;
    case 'w': return 2;
    case 'v': return 12;
    case 's': return 128;
    default: return -1;
  }
}

// Keeps the definition error, cut to 128 characters as the original buffer.
void SetError(const char* utf8Format, const char* a, const char* b, const char* c = "") {
  char message[128];
  std::snprintf(message, sizeof(message), OxText(utf8Format).c_str(), a, b, c);
  State().startupError = true;
  State().startupMessage = message;
}

}  // namespace

bool OxEvent::bInitialized = false;

OxEvent::OxEvent(const char* vszName, const char* format, uint32_t flags, OxEventRemoteTable* remoteTable)
    : m_name(vszName), m_format(format ? format : ""), m_flags(flags) {
  OX_ASSERT(kUnit, vszName);
  OX_ASSERT(kUnit, !OxEvent::bInitialized);
  int iNumArgs = static_cast<int>(std::strlen(m_format));
  OX_ASSERT(kUnit, iNumArgs <= OxArg::MAX_ARG);
  m_argCount = iNumArgs;
  if (MeasureArguments()) Register(remoteTable);
}

OxEvent::~OxEvent() {
  if (m_number < 0) return;
  std::vector<OxEvent*>& table = State().table;
  // A definition that only repeated an earlier one holds its number but not
  // its slot.
  if (m_number >= static_cast<int>(table.size()) || table[m_number] != this) return;
  table[m_number] = nullptr;
  while (!table.empty() && table.back() == nullptr) table.pop_back();
  if (m_remoteTable) m_remoteTable->Remove(this);
}

bool OxEvent::MeasureArguments() {
  bool network = IsNetwork();
  for (int i = 0; i < m_argCount; ++i) {
    char c = m_format[i];
    m_offsets[i] = m_blockSize;
    int size = ArgumentSize(c);
    if (size < 0) {
      SetError("事件 '%s' 的参数格式字符串 '%s' 错误.", m_name, m_format);
      return false;
    }
    if (c == 'S') {
      if (m_hasString) {
        State().startupError = true;
        return false;
      }
      m_hasString = true;
    } else if (c == 'p' && network) {
      SetError("事件 '%s' 参数错误，网络事件不允许使用指针('p')参数 ('%s').", m_name, m_format);
      return false;
    } else if (c == 'o') {
      if (!network) {
        SetError("事件 '%s' 参数错误，本地事件不允许使用对象('o')参数 ('%s').", m_name, m_format);
        return false;
      }
      if (m_hasObject) {
        SetError("事件 '%s' 参数错误，一个事件只允许有一个物件对象 ('%s').", m_name, m_format);
        return false;
      }
      if (m_hasMemory) {
        SetError("事件 '%s' 参数错误，内存包参数和对象参数冲突 ('%s').", m_name, m_format);
        return false;
      }
      m_hasObject = true;
    } else if (c == 'm') {
      if (!network && !(m_flags & OX_EVENT_MEMORY_ALLOWED)) {
        SetError("事件 '%s' 参数错误，本地事件不允许使用指针('m')参数 ('%s').", m_name, m_format);
        return false;
      }
      if (m_hasObject) {
        SetError("事件 '%s' 参数错误，内存包参数和对象参数冲突 ('%s').", m_name, m_format);
        return false;
      }
      if (m_hasMemory) {
        SetError("事件 '%s' 参数错误，一个事件只允许有一个内存包 ('%s').", m_name, m_format);
        return false;
      }
      m_hasMemory = true;
    }
    m_blockSize += size;
  }
  return true;
}

void OxEvent::Register(OxEventRemoteTable* remoteTable) {
  std::vector<OxEvent*>& table = State().table;
  for (const OxEvent* known : table) {
    if (!known || std::strcmp(known->m_name, m_name) != 0) continue;
    if (std::strcmp(known->m_format, m_format) == 0) {
      m_number = known->m_number;
      m_remoteNumber = known->m_remoteNumber;
    } else {
      SetError("事件 '%s' 重定义，名字相同但是格式字符串不同 ('%s'!='%s').", m_name, m_format, known->m_format);
    }
    return;
  }
  int s_iCntEventDefs = static_cast<int>(table.size());
  if (s_iCntEventDefs >= (OX_EVENT_MAX_EVENTS - 1)) {
    State().startupError = true;
    State().startupMessage = OxText("事件类型过多 (s_iCntEventDefs >= (OX_EVENT_MAX_EVENTS-1))");
    return;
  }
  m_number = s_iCntEventDefs;
  table.push_back(this);
  if (remoteTable && IsNetwork()) {
    m_remoteNumber = remoteTable->Add(this);
    m_remoteTable = remoteTable;
  }
}

uint16_t OxEventRemoteTable::Add(const OxEvent* definition) {
  ++m_iRemoteCnt;
  OX_ASSERT(kUnit, m_iRemoteCnt<OX_EVENT_MAX_EVENTS);
  m_definitions.push_back(definition);
  // Numbers in a network table count up from its base.
  return static_cast<uint16_t>(m_base + m_definitions.size() - 1);
}

void OxEventRemoteTable::Remove(const OxEvent* definition) {
  for (const OxEvent*& entry : m_definitions) {
    if (entry == definition) entry = nullptr;
  }
  while (!m_definitions.empty() && m_definitions.back() == nullptr) {
    m_definitions.pop_back();
    --m_iRemoteCnt;
  }
}

int OxEvent::GetDefinitionCount() { return static_cast<int>(State().table.size()); }

const OxEvent* OxEvent::GetDefinition(int number) {
  return number >= 0 && number < GetDefinitionCount() ? State().table[number] : nullptr;
}

bool OxEvent::HasStartupError() { return State().startupError; }

std::string OxEvent::GetStartupError() { return State().startupMessage; }

void ResetEventPool() {
  Pool& pool = EventPool();
  pool.freeList = nullptr;
  pool.usedList = nullptr;
  for (int i = kOxEventPoolSize - 1; i >= 0; --i) {
    EventInstance& instance = pool.instances[i];
    instance = EventInstance();
    instance.next = pool.freeList;
    if (pool.freeList) pool.freeList->prev = &instance;
    pool.freeList = &instance;
  }
}

int GetFreeEventCount() {
  int count = 0;
  for (EventInstance* instance = EventPool().freeList; instance; instance = instance->next) ++count;
  return count;
}

int GetEventArgBufferSize() { return EventPool().argBufferSize; }

void StartEventSystem() {
  if (State().startupError) {
    if (SmartPtr<OxLog> log = OxBase::GetBaseLog())
      log->Error("Startup event system FAILED\n    -> %s\n", State().startupMessage.c_str());
  }
  ResetEventPool();
  if (OxEvent::bInitialized) return;
  Pool& pool = EventPool();
  pool.argBuffer.reset(new char[kOxEventArgBufferSize]);
  pool.argBufferSize = kOxEventArgBufferSize;
  OxEvent::bInitialized = true;
}

void StopEventSystem() {
  if (!OxEvent::bInitialized) return;
  Pool& pool = EventPool();
  pool.argBuffer.reset();
  pool.argBufferSize = 0;
  ResetEventPool();
  OxEvent::bInitialized = false;
}

OxEvent g_evEngineTickBegin("EngineTickBegin", nullptr);
OxEvent g_evEngineTickEnd("EngineTickEnd", nullptr);
OxEvent g_evProcTimerStart("ProcTimerStart", "dd");
OxEvent g_evProcTimerEnd("ProcTimerEnd", "dd");
OxEvent g_evProcTimerTick("ProcTimerTick", "ddd");

}  // namespace ox_base
