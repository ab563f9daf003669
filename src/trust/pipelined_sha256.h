#pragma once
// SHA-256 of a stream hashed on a second thread a few MiB behind it: a
// large object decodes and is checked in the time of the slower of the
// two instead of their sum.
#include <future>
#include <string>
#include <string_view>

#include "trust/sha256.h"

class PipelinedSha256 {
 public:
  PipelinedSha256() = default;
  // Waits for the batch under way.
  ~PipelinedSha256();
  PipelinedSha256(const PipelinedSha256&) = delete;
  PipelinedSha256& operator=(const PipelinedSha256&) = delete;

  void Update(std::string_view piece);
  // As Sha256::FinishHex, once every batch is hashed.
  std::string FinishHex();

 private:
  void Wait();

  Sha256 hash_;
  // Filled by Update while `hashing_` is hashed on the second thread.
  std::string filling_;
  std::string hashing_;
  std::future<void> running_;
};
