#include "update/manifest/staging_thread.h"

#include <utility>

StagingThread::StagingThread(std::function<void(std::size_t)> stage)
    : stage_(std::move(stage)), thread_([this] { Run(); }) {}

StagingThread::~StagingThread() { Finish(); }

void StagingThread::Add(std::size_t index) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    queued_.push_back(index);
  }
  added_.notify_one();
}

void StagingThread::Finish() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
  }
  added_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void StagingThread::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    added_.wait(lock, [this] { return finishing_ || !queued_.empty(); });
    if (queued_.empty()) return;
    const std::size_t index = queued_.front();
    queued_.pop_front();
    lock.unlock();
    stage_(index);
    lock.lock();
  }
}
