#include "base/init/ox_base.h"

#include <cstdio>
#include <mutex>

#include "base/files/ox_file_ansi.h"
#include "base/log/ox_log.h"
#include "base/init/ox_spin_lock.h"

namespace ox_base {
namespace {

OxSpinLock g_instanceLock;

// Outlives the instance, so a caller can show why initialisation failed.
constexpr size_t kLastMessageMax = 254;
std::mutex g_lastMessageLock;
std::string g_lastMessage;

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

bool OxBase::Exists() { return s_instance.load(std::memory_order_acquire) != nullptr; }

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

void OxBase::Print(const char* message) {
  SetLastMessage(message ? message : "");
  OxBase* base = s_instance.load(std::memory_order_acquire);
  if (base && base->m_initialized && base->m_rootLog) base->m_rootLog->Error("%s", message ? message : "");
}

void OxBase::SetLastMessage(const std::string& message) {
  std::lock_guard<std::mutex> lock(g_lastMessageLock);
  g_lastMessage = message.substr(0, kLastMessageMax);
}

std::string OxBase::GetLastMessage() {
  std::lock_guard<std::mutex> lock(g_lastMessageLock);
  return g_lastMessage;
}

std::string OxBase::MakeLogFileName(const char* name, int index) {
  OxBase* base = Instance();
  char suffix[32] = "";
  if (index != 0) std::snprintf(suffix, sizeof(suffix), "[%d]", index);
  char fileName[200];
  std::snprintf(fileName, sizeof(fileName), base->m_logFilePattern.c_str(), name, suffix);
  return fileName;
}

unsigned OxBase::GetCodePage() {
  OxBase* base = s_instance.load(std::memory_order_acquire);
  return base ? base->m_codePage : kLauncherCodePage;
}

bool OxBase::IsDbcsCodePage() {
  unsigned codePage = GetCodePage();
  return codePage >= 931 && codePage <= 969;
}

bool OxBase::IsUtfCodePage() { return GetCodePage() >= 65000; }

}  // namespace ox_base
