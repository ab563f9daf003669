#pragma once
// Threads that write the entries a reader's thread has placed, several at
// once: inflating is most of an unpack's work, and one entry does not wait
// for another. Each thread has its own ZipEntryWriter; together they keep
// at most kWholeEntryBudget bytes for decoding entries in one piece, so
// memory stays bounded whatever the archive and the number of threads.
//
// The pool does not order entries: a caller that needs one entry written
// before another is placed (the same file twice) waits for it (WaitFor).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "zip/zip_reader.h"

// How writing one entry went.
struct ZipWritten {
  ZipResult result = ZipResult::Ok;
  std::string problem;  // ZipEntryWriter::Problem() when it failed
};

class ZipWriterPool {
 public:
  static constexpr std::size_t kWholeEntryBudget = 16 << 20;
  // Threads beyond this many only add contention on the file system.
  static constexpr std::size_t kMostThreads = 8;

  // One thread per processor core, at most kMostThreads and at most
  // `entries` (at least one).
  static std::size_t ThreadsFor(std::size_t entries);

  // Starts `threads` threads writing entries of `reader`, counting progress
  // in `extractedBytes` and stopping at `cancelInstall` (see
  // ZipEntryWriter::Write). The reader must outlive the pool.
  ZipWriterPool(const ZipReader& reader, std::size_t threads, std::atomic<std::int64_t>& extractedBytes,
                const std::atomic<bool>& cancelInstall);
  // Finish.
  ~ZipWriterPool();
  ZipWriterPool(const ZipWriterPool&) = delete;
  ZipWriterPool& operator=(const ZipWriterPool&) = delete;

  // Queues a placed file entry for the next free thread, which fills
  // `written` (it must outlive the pool) before the entry counts as
  // written. Waits while as many entries as there are threads are queued.
  void Write(const ZipPlacedEntry& placed, ZipWritten& written);

  // Waits until the entries of these indices are written; an entry never
  // queued counts as written.
  void WaitFor(const std::vector<std::int32_t>& indices);

  // Waits until every queued entry is written and ends the threads.
  void Finish();

 private:
  struct Job {
    ZipPlacedEntry placed;
    ZipWritten* written = nullptr;
  };
  void Run(std::size_t wholeEntryBytes);

  const ZipReader& reader_;
  std::atomic<std::int64_t>& extractedBytes_;
  const std::atomic<bool>& cancelInstall_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<Job> queue_;
  // Queued or being written.
  std::set<std::int32_t> unwritten_;
  bool finishing_ = false;
  std::size_t queueLimit_;
  std::vector<std::thread> threads_;
};
