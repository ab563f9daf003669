#include "base/objects/ox_object.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "base/diagnostics/ox_assert.h"
#include "base/objects/ox_engine.h"
#include "base/events/ox_event.h"

namespace ox_base {
namespace {

const char kUnit[] = "dlls/base/ox_object";

// Zero-initialised before any constructor runs, so records of any
// translation unit can register during static initialisation.
OxClassInfo* s_pFirstClass = nullptr;

struct Registry {
  bool finalized = false;
  std::vector<OxClassInfo*> byName;
  std::vector<OxClassInfo*> byId;
  OxClassInfo* firstRoot = nullptr;
  int64_t tableBytes = 0;
};
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

OxObject* CreateOxObject() { return new OxObject; }

}  // namespace

// The library's own classes are registered here, beside the registry: a
// record defined in another object file of the static library would exist
// only when the linker happened to keep that file for something else.
OxClassInfo OxObject::s_classInfo("OxObject", 0, sizeof(OxObject), CreateOxObject, nullptr, nullptr);
OxClassInfo OxEngine::s_classInfo("OxEngine", 0, sizeof(OxEngine), OxEngine::CreateAbstract, &OxObject::s_classInfo,
                                  nullptr);

const OxClassInfo* OxObject::GetClassInfo() const { return &s_classInfo; }

OxClassInfo::OxClassInfo(const char* name, uint16_t classId, int size, OxCreateFunction create, OxClassInfo* parent,
                         const OxEventMapEntry* eventMap)
    : m_name(name), m_size(size), m_classId(classId), m_create(create), m_pParent(parent), m_pEventMap(eventMap) {
  OxClassInfo** link = &s_pFirstClass;
  while (*link && std::strcmp((*link)->m_name, name) < 0) link = &(*link)->m_pNext;
  m_pNext = *link;
  *link = this;
}

OxEventHandler OxClassInfo::GetHandler(int eventNumber) const {
  if (!m_pHandlerTable || eventNumber < 0 || eventNumber >= OxEvent::GetDefinitionCount()) return nullptr;
  return m_pHandlerTable[eventNumber];
}

void OxClassInfo::LinkIntoTree() {
  OxClassInfo** link = m_pParent ? &m_pParent->m_pFirstChild : &TheRegistry().firstRoot;
  while (*link) link = &(*link)->m_pNextSibling;
  *link = this;
  for (OxClassInfo* ancestor = m_pParent; ancestor; ancestor = ancestor->m_pParent) ++ancestor->m_descendantCount;
  m_linked = true;
}

void OxClassInfo::BuildHandlerTable(int num) {
  if (m_linked) return;
  if (m_pParent) m_pParent->BuildHandlerTable(num);
  LinkIntoTree();
  bool ownHandlers = m_pEventMap && m_pEventMap[0].definition;
  if (!ownHandlers && m_pParent) {
    m_pHandlerTable = m_pParent->m_pHandlerTable;
    m_ownsTable = false;
    return;
  }
  m_pHandlerTable = new OxEventHandler[num > 0 ? num : 1]();
  m_ownsTable = true;
  TheRegistry().tableBytes += static_cast<int64_t>(num) * sizeof(OxEventHandler);
  // Own handlers first, then nearer ancestors before farther ones.
  for (const OxClassInfo* owner = this; owner; owner = owner->m_pParent) {
    for (const OxEventMapEntry* entry = owner->m_pEventMap; entry && entry->definition; ++entry) {
      int ev = entry->definition->GetNumber();
      OX_ASSERT(kUnit, ev>=0 && ev<num);
      if (!m_pHandlerTable[ev]) m_pHandlerTable[ev] = entry->handler;
    }
  }
}

void OxClassInfo::FinalizeClasses() {
  Registry& registry = TheRegistry();
  if (registry.finalized) return;
  int num = OxEvent::GetDefinitionCount();
  int iListClassCnt = 0;
  for (OxClassInfo* info = s_pFirstClass; info; info = info->m_pNext) {
    info->BuildHandlerTable(num);
    ++iListClassCnt;
  }

  // Pre-order walk: a class, then its children in registration order.
  int iClassCnt = 0;
  std::map<int, OxClassInfo*> byId;
  std::vector<OxClassInfo*> stack;
  for (OxClassInfo* root = registry.firstRoot; root; root = root->m_pNextSibling) {
    stack.push_back(root);
    while (!stack.empty()) {
      OxClassInfo* info = stack.back();
      stack.pop_back();
      info->m_index = iClassCnt++;
      if (info->m_classId != 0) byId[info->m_classId] = info;
      std::vector<OxClassInfo*> children;
      for (OxClassInfo* child = info->m_pFirstChild; child; child = child->m_pNextSibling) children.push_back(child);
      stack.insert(stack.end(), children.rbegin(), children.rend());
    }
  }
  OX_ASSERT(kUnit, iListClassCnt==iClassCnt);

  for (OxClassInfo* info = s_pFirstClass; info; info = info->m_pNext) registry.byName.push_back(info);
  for (const auto& entry : byId) registry.byId.push_back(entry.second);
  registry.finalized = true;
}

void OxClassInfo::ReleaseClasses() {
  Registry& registry = TheRegistry();
  for (OxClassInfo* info = s_pFirstClass; info; info = info->m_pNext) {
    if (info->m_ownsTable) delete[] info->m_pHandlerTable;
    info->m_pHandlerTable = nullptr;
    info->m_ownsTable = false;
    // Unlinked, so the next base initialisation builds the tree afresh.
    info->m_pNextSibling = info->m_pFirstChild = nullptr;
    info->m_linked = false;
    info->m_descendantCount = 0;
  }
  registry.firstRoot = nullptr;
  registry.tableBytes = 0;
  registry.byName.clear();
  registry.byId.clear();
  registry.finalized = false;
}

bool OxClassInfo::IsFinalized() { return TheRegistry().finalized; }

OxClassInfo* OxClassInfo::FindClass(const char* name) {
  Registry& registry = TheRegistry();
  if (!registry.finalized) {
    for (OxClassInfo* info = s_pFirstClass; info; info = info->m_pNext) {
      if (std::strcmp(info->m_name, name) == 0) return info;
    }
    return nullptr;
  }
  auto found = std::lower_bound(registry.byName.begin(), registry.byName.end(), name,
                                [](const OxClassInfo* info, const char* key) { return std::strcmp(info->m_name, key) < 0; });
  return (found != registry.byName.end() && std::strcmp((*found)->m_name, name) == 0) ? *found : nullptr;
}

OxClassInfo* OxClassInfo::FindClassById(uint16_t classId) {
  const std::vector<OxClassInfo*>& byId = TheRegistry().byId;
  auto found = std::lower_bound(byId.begin(), byId.end(), classId,
                                [](const OxClassInfo* info, uint16_t id) { return info->m_classId < id; });
  return (found != byId.end() && (*found)->m_classId == classId) ? *found : nullptr;
}

OxObject* OxClassInfo::CreateObject(const OxClassInfo* classInfo) {
  return classInfo && classInfo->m_create ? classInfo->m_create() : nullptr;
}

const std::vector<OxClassInfo*>& OxClassInfo::GetClasses() { return TheRegistry().byName; }

int64_t OxClassInfo::GetHandlerTableBytes() { return TheRegistry().tableBytes; }

}  // namespace ox_base
