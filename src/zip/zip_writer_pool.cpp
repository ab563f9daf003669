#include "zip/zip_writer_pool.h"

#include <algorithm>

std::size_t ZipWriterPool::ThreadsFor(std::size_t entries) {
  const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
  return std::max<std::size_t>(1, std::min({cores, kMostThreads, entries}));
}

ZipWriterPool::ZipWriterPool(const ZipReader& reader, std::size_t threads, std::atomic<std::int64_t>& extractedBytes,
                             const std::atomic<bool>& cancelInstall)
    : reader_(reader), extractedBytes_(extractedBytes), cancelInstall_(cancelInstall),
      queueLimit_(std::max<std::size_t>(1, threads)) {
  for (std::size_t i = 0; i < queueLimit_; ++i) {
    threads_.emplace_back([this] { Run(kWholeEntryBudget / queueLimit_); });
  }
}

ZipWriterPool::~ZipWriterPool() { Finish(); }

void ZipWriterPool::Write(const ZipPlacedEntry& placed, ZipWritten& written) {
  std::unique_lock<std::mutex> lock(lock_);
  changed_.wait(lock, [this] { return queue_.size() < queueLimit_; });
  unwritten_.insert(placed.entry.index);
  queue_.push_back(Job{placed, &written});
  changed_.notify_all();
}

void ZipWriterPool::WaitFor(const std::vector<std::int32_t>& indices) {
  std::unique_lock<std::mutex> lock(lock_);
  changed_.wait(lock, [&] {
    return std::none_of(indices.begin(), indices.end(), [this](std::int32_t index) { return unwritten_.count(index); });
  });
}

void ZipWriterPool::Finish() {
  {
    std::lock_guard<std::mutex> lock(lock_);
    finishing_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void ZipWriterPool::Run(std::size_t wholeEntryBytes) {
  ZipEntryWriter writer(wholeEntryBytes);
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(lock_);
      changed_.wait(lock, [this] { return finishing_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    changed_.notify_all();
    const ZipResult result = reader_.WriteItem(job.placed, writer, extractedBytes_, cancelInstall_);
    job.written->result = result;
    job.written->problem = result == ZipResult::Ok ? std::string() : writer.Problem();
    {
      std::lock_guard<std::mutex> lock(lock_);
      unwritten_.erase(job.placed.entry.index);
    }
    changed_.notify_all();
  }
}
