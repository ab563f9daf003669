#include "parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

bool RunInParallel(std::size_t count, const ParallelTask& task, std::string& error) {
  std::vector<std::string> errors(count);
  std::vector<char> failed(count, 0);
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  const auto work = [&] {
    for (std::size_t index = next++; index < count && !stop; index = next++) {
      if (!task(index, errors[index])) {
        failed[index] = 1;
        stop = true;
      }
    }
  };
  const std::size_t threads = std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> helpers;
  for (std::size_t i = 1; i < threads; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  const auto first = std::find(failed.begin(), failed.end(), 1);
  if (first == failed.end()) return true;
  error = errors[static_cast<std::size_t>(first - failed.begin())];
  return false;
}
