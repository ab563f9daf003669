#pragma once
// Event types of the process: each definition has a name and an argument
// format, is checked when defined (during static initialisation) and gets a
// dense event number that the class registry's handler tables use. The event
// system also owns a fixed pool of event instances and an argument buffer.
#include <cstdint>
#include <string>
#include <vector>

#define OX_EVENT_MAX_EVENTS 2048

namespace ox_base {

struct OxArg {
  static constexpr int MAX_ARG = 8;
};

// Definition flags.
enum : uint32_t {
  OX_EVENT_MEMORY_ALLOWED = 0x001,  // a local event may carry an "m" argument
  OX_EVENT_NETWORK = 0x300,         // either bit marks a network event
};

class OxEvent;

// A network event table: definitions numbered from a base number.
class OxEventRemoteTable {
 public:
  explicit OxEventRemoteTable(uint16_t baseNumber) : m_base(baseNumber) {}
  uint16_t GetBase() const { return m_base; }
  int GetCount() const { return static_cast<int>(m_definitions.size()); }
  const OxEvent* Get(int index) const { return m_definitions[index]; }

 private:
  friend class OxEvent;
  // Appends a definition; more than 2047 entries is a failed assertion.
  // Returns its number.
  uint16_t Add(const OxEvent* definition);
  // Takes a definition out (see ~OxEvent).
  void Remove(const OxEvent* definition);

  uint16_t m_base;
  std::vector<const OxEvent*> m_definitions;
  int m_iRemoteCnt = 0;
};

// One event type. Defined as a static object; definitions with an error stay
// unregistered (number -1) and the error is reported at start-up.
class OxEvent {
 public:
  OxEvent(const char* vszName, const char* format, uint32_t flags = 0, OxEventRemoteTable* remoteTable = nullptr);
  // A definition leaves the table when it ends (the definitions of a module
  // that is unloaded), so the table never points at a destroyed one; the
  // last numbers are free again once every later definition has gone too.
  ~OxEvent();
  OxEvent(const OxEvent&) = delete;
  OxEvent& operator=(const OxEvent&) = delete;

  const char* GetName() const { return m_name; }
  const char* GetFormat() const { return m_format; }
  int GetNumber() const { return m_number; }
  int GetArgCount() const { return m_argCount; }
  int GetBlockSize() const { return m_blockSize; }
  int GetArgOffset(int index) const { return m_offsets[index]; }
  bool HasString() const { return m_hasString; }
  bool HasMemoryBlock() const { return m_hasMemory; }
  bool HasObject() const { return m_hasObject; }
  uint16_t GetRemoteNumber() const { return m_remoteNumber; }
  bool IsNetwork() const { return (m_flags & OX_EVENT_NETWORK) != 0; }

  static int GetDefinitionCount();
  // Null for a number without a definition.
  static const OxEvent* GetDefinition(int number);
  // The start-up error flag and the last definition error message.
  static bool HasStartupError();
  static std::string GetStartupError();

  // Set while the event system runs; defining then is an error.
  static bool bInitialized;

 private:
  // Walks the format; false (error flag set) when a rule is broken.
  bool MeasureArguments();
  void Register(OxEventRemoteTable* remoteTable);

  const char* m_name;
  const char* m_format;
  uint32_t m_flags;
  int m_argCount = 0;
  int m_blockSize = 0;
  int m_offsets[OxArg::MAX_ARG] = {};
  bool m_hasString = false;
  bool m_hasMemory = false;
  bool m_hasObject = false;
  int m_number = -1;
  uint16_t m_remoteNumber = 0;
  OxEventRemoteTable* m_remoteTable = nullptr;
};

// Called by the base initialisation / base exit.
void StartEventSystem();
void StopEventSystem();
// Returns every event instance to the free list, releasing what it holds.
void ResetEventPool();

constexpr int kOxEventPoolSize = 2048;
constexpr int kOxEventArgBufferSize = 65000;
int GetFreeEventCount();
// The size of the argument buffer: 65000 while the system runs, else 0.
int GetEventArgBufferSize();

// The base library's own events.
extern OxEvent g_evEngineTickBegin;
extern OxEvent g_evEngineTickEnd;
extern OxEvent g_evProcTimerStart;
extern OxEvent g_evProcTimerEnd;
extern OxEvent g_evProcTimerTick;

}  // namespace ox_base
