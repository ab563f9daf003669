#pragma once
// zstd's answers that are errors, turned into a reason to show.
#include <cstddef>
#include <string>

// True when `result` is zstd's error, with "zstd: <its name>" in `reason`.
bool ZstdFailed(std::size_t result, std::string& reason);
