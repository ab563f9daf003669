#pragma once
// Engines: objects created by class name from the [base.engine] section and
// started with the configuration; shut down in reverse order at base exit.
#include <cstdint>
#include <list>
#include <string>

#include "base/objects/ox_object.h"

namespace ox_base {

class OxIni;

// The abstract engine base; it cannot be created itself.
class OxEngine : public OxObject {
 public:
  const OxClassInfo* GetClassInfo() const override { return &s_classInfo; }
  // Registered in ox_object.cpp with the registry itself.
  static OxClassInfo s_classInfo;
  // The class's create function: logs that it is abstract, creates nothing.
  static OxObject* CreateAbstract();

  virtual const char* GetName() const = 0;
  // False fails the base initialisation; an engine may leave its reason in
  // the last-message buffer (OxBase::SetLastMessage).
  virtual bool Startup(OxIni& config) = 0;
  virtual void Shutdown() = 0;
  virtual bool WantsTick() const { return false; }

  // Set for the engine of the key "Actor".
  void SetMipLevel(int32_t level) { m_mipLevel = level; }
  int32_t GetMipLevel() const { return m_mipLevel; }

 private:
  int32_t m_mipLevel = 0;
};

class OxEngineList {
 public:
  OxEngineList() = default;
  // Engines never stopped are destroyed without being shut down.
  ~OxEngineList();
  OxEngineList(const OxEngineList&) = delete;
  OxEngineList& operator=(const OxEngineList&) = delete;

  // Creates and starts the engines of [base.engine] ("local,ClassName"
  // values; "MipLevel" sets the level given to "Actor"). False, with the
  // reason in the last-message buffer, at the first failure.
  bool StartEngines(OxIni& config);
  // Shuts the engines down, last started first, and destroys them.
  void StopEngines();

  // Most recently started first.
  const std::list<OxEngine*>& GetEngines() const { return m_engines; }
  const std::list<OxEngine*>& GetTickEngines() const { return m_tickEngines; }

 private:
  std::list<OxEngine*> m_engines;
  std::list<OxEngine*> m_tickEngines;
};

}  // namespace ox_base
