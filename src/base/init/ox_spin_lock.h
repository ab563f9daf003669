#pragma once
// A lock word taken by atomic exchange, yielding while another thread holds
// it. Guards short sections: instance creation, log output lists, the
// assertion report.
#include <atomic>
#include <thread>

namespace ox_base {

class OxSpinLock {
 public:
  void Lock() {
    while (m_word.exchange(1, std::memory_order_acquire) != 0) std::this_thread::yield();
  }
  void Unlock() { m_word.store(0, std::memory_order_release); }

 private:
  std::atomic<int> m_word{0};
};

class OxSpinGuard {
 public:
  explicit OxSpinGuard(OxSpinLock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~OxSpinGuard() { m_lock.Unlock(); }
  OxSpinGuard(const OxSpinGuard&) = delete;
  OxSpinGuard& operator=(const OxSpinGuard&) = delete;

 private:
  OxSpinLock& m_lock;
};

}  // namespace ox_base
