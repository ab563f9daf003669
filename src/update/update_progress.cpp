#include "update/update_progress.h"

#include <chrono>
#include <thread>

namespace {
constexpr auto kUnpackPollInterval = std::chrono::milliseconds(10);
}  // namespace

bool UpdateProgress::BeginUnpacking(Unpacking kind) {
  Unpacking expected = Unpacking::None;
  return unpacking.compare_exchange_strong(expected, kind);
}

void UpdateProgress::EndUnpacking() { unpacking.store(Unpacking::None); }

bool UpdateProgress::TryClaimTheEnd(Unpacking& running) {
  running = Unpacking::None;
  return unpacking.compare_exchange_strong(running, Unpacking::Ending) || running == Unpacking::Ending;
}

bool UpdateProgress::ClaimTheEnd(const std::function<bool(Unpacking)>& whileUnpacking) {
  for (;;) {
    Unpacking running = Unpacking::None;
    if (TryClaimTheEnd(running)) return true;
    if (!whileUnpacking(running)) return false;
    std::this_thread::sleep_for(kUnpackPollInterval);
  }
}
