#pragma once
// Independent pieces of a build's work (hashing, compressing, making
// deltas) spread over the machine's cores.
#include <cstddef>
#include <functional>
#include <string>

// One piece: false with the reason when it failed.
using ParallelTask = std::function<bool(std::size_t index, std::string& error)>;

// Runs task(0) ... task(count - 1), each once, on as many threads as the
// machine has cores (at most `count`). Once one fails no more start. False
// with the reason of the failed task of the lowest index.
bool RunInParallel(std::size_t count, const ParallelTask& task, std::string& error);
