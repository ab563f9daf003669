#pragma once
// The base state's event broadcaster: one chain record per defined event,
// holding the objects that listen to it.
#include <memory>
#include <vector>

namespace ox_base {

class OxObject;

class OxEventBroadcast {
 public:
  struct Chain {
    std::vector<OxObject*> listeners[2];  // local and network listeners
  };

  OxEventBroadcast() = default;
  // Chain records left behind (no ClearBroadcast) are a failed assertion.
  ~OxEventBroadcast();
  OxEventBroadcast(const OxEventBroadcast&) = delete;
  OxEventBroadcast& operator=(const OxEventBroadcast&) = delete;

  // Creates one chain record per event defined now.
  void InitBroadcast();
  void ClearBroadcast();
  int GetChainCount() const { return m_pChainMap ? m_chainCount : 0; }

 private:
  std::unique_ptr<Chain[]> m_pChainMap;
  int m_chainCount = 0;
};

}  // namespace ox_base
