#pragma once
// Run-time class information: classes register an OxClassInfo record during
// static initialisation; the registry is finalised at base initialisation
// (pre-order indexes, handler tables merged with the ancestors') and then
// searched by name.
#include <cstdint>
#include <vector>

namespace ox_base {

class OxEvent;
class OxObject;
class OxClassInfo;

// An event handler: a member operation of the handling class.
using OxEventHandler = void (OxObject::*)(const void* arguments);

struct OxEventMapEntry {
  const OxEvent* definition;  // null ends the map
  OxEventHandler handler;
};

using OxCreateFunction = OxObject* (*)();

class OxObject {
 public:
  virtual ~OxObject() = default;
  virtual const OxClassInfo* GetClassInfo() const;
  static OxClassInfo s_classInfo;
};

class OxClassInfo {
 public:
  // Inserts the record into the registry in ascending name order.
  OxClassInfo(const char* name, uint16_t classId, int size, OxCreateFunction create, OxClassInfo* parent,
              const OxEventMapEntry* eventMap);

  const char* GetName() const { return m_name; }
  uint16_t GetClassId() const { return static_cast<uint16_t>(m_classId); }
  int GetSize() const { return m_size; }
  OxClassInfo* GetParent() const { return m_pParent; }
  int GetIndex() const { return m_index; }
  int GetDescendantCount() const { return m_descendantCount; }
  // The handler of an event number in the merged table, or null.
  OxEventHandler GetHandler(int eventNumber) const;
  bool OwnsHandlerTable() const { return m_ownsTable; }
  const OxEventHandler* GetHandlerTable() const { return m_pHandlerTable; }

  // Binary search once finalised, a linear one before.
  static OxClassInfo* FindClass(const char* name);
  static OxClassInfo* FindClassById(uint16_t classId);
  static void FinalizeClasses();
  static void ReleaseClasses();
  static bool IsFinalized();
  // The class's create function; null when it has none.
  static OxObject* CreateObject(const OxClassInfo* classInfo);
  // Classes sorted by name (filled by FinalizeClasses).
  static const std::vector<OxClassInfo*>& GetClasses();
  static int64_t GetHandlerTableBytes();

 private:
  void BuildHandlerTable(int num);
  void LinkIntoTree();

  const char* m_name;
  int32_t m_size;
  int32_t m_classId;
  OxCreateFunction m_create;
  OxClassInfo* m_pParent;
  OxClassInfo* m_pNext = nullptr;
  // Class tree.
  OxClassInfo* m_pNextSibling = nullptr;
  OxClassInfo* m_pFirstChild = nullptr;
  bool m_linked = false;
  int32_t m_descendantCount = 0;
  int32_t m_index = -1;
  const OxEventMapEntry* m_pEventMap;
  OxEventHandler* m_pHandlerTable = nullptr;
  bool m_ownsTable = false;
};

}  // namespace ox_base
