#pragma once
// Decodes what arrived while the rest still downloads: files handed over
// (by their index) are staged one after another on a thread of its own,
// in the order they came, so the downloading thread never stalls its
// transfers on a decoder and only one file's decoding memory is in use.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class StagingThread {
 public:
  // `stage` runs on the thread, once per index handed over.
  explicit StagingThread(std::function<void(std::size_t index)> stage);
  // Finishes (a caller that leaves early still waits for the staging under way).
  ~StagingThread();
  StagingThread(const StagingThread&) = delete;
  StagingThread& operator=(const StagingThread&) = delete;

  // Queues `index`; from any thread.
  void Add(std::size_t index);
  // Returns once every index handed over was staged; the thread ends.
  void Finish();

 private:
  void Run();

  const std::function<void(std::size_t)> stage_;
  std::mutex mutex_;
  std::condition_variable added_;
  std::deque<std::size_t> queued_;
  bool finishing_ = false;
  std::thread thread_;
};
