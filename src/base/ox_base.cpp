#include "base/ox_base.h"

#include "base/ox_file_ansi.h"
#include "base/ox_log.h"
#include "base/ox_spin_lock.h"

namespace ox_base {
namespace {
OxSpinLock g_instanceLock;
}  // namespace

std::atomic<OxBase*> OxBase::s_instance{nullptr};

OxBase* OxBase::Instance() {
  OxBase* instance = s_instance.load(std::memory_order_acquire);
  if (instance) return instance;
  OxSpinGuard guard(g_instanceLock);
  instance = s_instance.load(std::memory_order_acquire);
  if (!instance) {
    instance = new OxBase;
    s_instance.store(instance, std::memory_order_release);
  }
  return instance;
}

OxFile* OxBase::GetFileSystem() {
  OxBase* base = Instance();
  return base->m_pFileSystem ? base->m_pFileSystem : OxFileAnsi::Instance();
}

SmartPtr<OxLog> OxBase::GetRootLog() {
  OxBase* base = s_instance.load(std::memory_order_acquire);
  return base ? base->m_rootLog : SmartPtr<OxLog>();
}

SmartPtr<OxLog> OxBase::GetBaseLog() {
  OxBase* base = s_instance.load(std::memory_order_acquire);
  return base ? base->m_baseLog : SmartPtr<OxLog>();
}

std::string OxBase::GetApplicationName() {
  OxBase* base = s_instance.load(std::memory_order_acquire);
  return base ? base->m_applicationName : std::string();
}

unsigned OxBase::GetCodePage() {
  OxBase* base = s_instance.load(std::memory_order_acquire);
  return base ? base->m_codePage : 936;
}

bool OxBase::IsDbcsCodePage() {
  unsigned codePage = GetCodePage();
  return codePage >= 931 && codePage <= 969;
}

bool OxBase::IsUtfCodePage() { return GetCodePage() >= 65000; }

}  // namespace ox_base
