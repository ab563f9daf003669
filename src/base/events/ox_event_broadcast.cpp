#include "base/events/ox_event_broadcast.h"

#include "base/diagnostics/ox_assert.h"
#include "base/events/ox_event.h"

namespace ox_base {
namespace {
const char kUnit[] = "dlls/base/ox_object";
}  // namespace

OxEventBroadcast::~OxEventBroadcast() { OX_ASSERT_REPORT(kUnit, m_pChainMap==NULL); }

void OxEventBroadcast::InitBroadcast() {
  m_chainCount = OxEvent::GetDefinitionCount();
  m_pChainMap.reset(new Chain[m_chainCount]);
}

void OxEventBroadcast::ClearBroadcast() {
  m_pChainMap.reset();
  m_chainCount = 0;
}

}  // namespace ox_base
