#include "base/objects/ox_engine.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/init/ox_base.h"
#include "base/ini/ox_ini.h"
#include "base/log/ox_log.h"
#include "base/text/ox_split_string.h"

namespace ox_base {
namespace {

// Engine messages are cut to 128 characters, as the original buffer was.
void Fail(const char* format, const char* a, const char* b = "") {
  char message[128];
  std::snprintf(message, sizeof(message), format, a, b);
  OxBase::SetLastMessage(message);
}

void Info(const char* format, const char* name) {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Info(format, name);
}

}  // namespace

OxObject* OxEngine::CreateAbstract() {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Error("Cannot instanciate abstract class %s.", "OxEngine");
  return nullptr;
}

bool OxEngineList::StartEngines(OxIni& config) {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Info("Startup engine\n");
  int32_t mipLevel = 1;
  OxIniSection* section = config.FindSection("base.engine");
  if (!section) {
    OxBase::SetLastMessage("[base.engine] not found. cannot startup engine.");
    return false;
  }
  // A copy: an engine's Startup may walk the same section.
  std::vector<OxIniKey> keys;
  for (OxIniKey* key = section->FirstKey(); key; key = section->NextKey()) keys.push_back(*key);
  for (const OxIniKey& key : keys) {
    std::vector<std::string> pieces;
    if (SplitString(key.value, ",", pieces, false) != 2) return false;
    const char* name = key.name.c_str();
    if (key.name == "MipLevel") {
      mipLevel = static_cast<int32_t>(std::strtol(pieces[1].c_str(), nullptr, 10));
      continue;
    }
    if (pieces[0] != "local") {
      Fail("Create engine [%s] instance failed.", name);
      return false;
    }
    OxClassInfo* classInfo = OxClassInfo::FindClass(pieces[1].c_str());
    if (!classInfo) {
      Fail("Local engine [%s] class [%s] not found.", name, pieces[1].c_str());
      return false;
    }
    std::unique_ptr<OxObject> object(OxClassInfo::CreateObject(classInfo));
    // A class that is no engine cannot be started as one.
    OxEngine* engine = dynamic_cast<OxEngine*>(object.get());
    if (!engine) {
      Fail("Create engine [%s] instance failed.", name);
      return false;
    }
    object.release();
    std::unique_ptr<OxEngine> owned(engine);
    if (key.name == "Actor") engine->SetMipLevel(mipLevel);
    OxBase::SetLastMessage("");
    if (!engine->Startup(config)) {
      if (OxBase::GetLastMessage().empty()) Fail("Startup engine [%s] failed.", engine->GetName());
      return false;
    }
    Info("  engine [%s] startup succeed.\n", engine->GetName());
    m_engines.push_front(owned.release());
    if (engine->WantsTick()) m_tickEngines.push_front(engine);
  }
  return true;
}

OxEngineList::~OxEngineList() {
  for (OxEngine* engine : m_engines) delete engine;
}

void OxEngineList::StopEngines() {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Info("Shutdown engine\n");
  m_tickEngines.clear();
  while (!m_engines.empty()) {
    std::unique_ptr<OxEngine> engine(m_engines.front());
    m_engines.pop_front();
    engine->Shutdown();
    Info("  Engine [%s] shutdown succeed\n", engine->GetName());
  }
}

}  // namespace ox_base
