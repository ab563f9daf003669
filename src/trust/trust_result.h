#pragma once
// What reading or making a trust object gives: the object, or why there is
// none (one sentence for the log).
#include <optional>
#include <string>

template <typename T>
struct TrustResult {
  std::optional<T> value;
  std::string error;  // empty when value is set
};
