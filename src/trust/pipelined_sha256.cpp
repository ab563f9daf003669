#include "trust/pipelined_sha256.h"

#include <system_error>

namespace {

// Large enough that a thread per batch costs nothing, small enough to
// keep the memory it holds a few MiB.
constexpr std::size_t kBatch = 4 << 20;

}  // namespace

PipelinedSha256::~PipelinedSha256() { Wait(); }

void PipelinedSha256::Wait() {
  if (running_.valid()) running_.get();
}

void PipelinedSha256::Update(std::string_view piece) {
  filling_.append(piece);
  if (filling_.size() < kBatch) return;
  Wait();
  filling_.swap(hashing_);
  filling_.clear();
  try {
    running_ = std::async(std::launch::async, [this] { hash_.Update(hashing_); });
  } catch (const std::system_error&) {
    // No thread to be had: hashed here instead.
    hash_.Update(hashing_);
  }
}

std::string PipelinedSha256::FinishHex() {
  Wait();
  hash_.Update(filling_);
  filling_.clear();
  return hash_.FinishHex();
}
