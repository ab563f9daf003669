#include "update/site/update_progress.h"

bool UpdateProgress::BeginUnpacking(Unpacking kind) {
  Unpacking expected = Unpacking::None;
  return unpacking.compare_exchange_strong(expected, kind);
}

void UpdateProgress::EndUnpacking() {
  {
    std::lock_guard<std::mutex> lock(unpackEndLock_);
    unpacking.store(Unpacking::None);
  }
  unpackEnded_.notify_all();
}

bool UpdateProgress::TryClaimTheEnd() {
  Unpacking running = Unpacking::None;
  return unpacking.compare_exchange_strong(running, Unpacking::Ending) || running == Unpacking::Ending;
}

void UpdateProgress::AwaitTheEnd() {
  std::unique_lock<std::mutex> lock(unpackEndLock_);
  unpackEnded_.wait(lock, [this] { return TryClaimTheEnd(); });
}
