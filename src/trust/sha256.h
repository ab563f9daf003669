#pragma once
// SHA-256 of a file that arrives in pieces (hashed while it downloads), and
// the 64-hex-digit form a server document gives for it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "trust/sha256_blocks.h"

class Sha256 {
 public:
  // The fastest block function this CPU runs.
  Sha256();
  // A given block function: tests hold the ways against each other.
  explicit Sha256(Sha256Blocks blocks);
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(std::string_view piece);
  // The hash of everything passed to Update, as 64 lower-case hex digits;
  // the hasher then starts over.
  std::string FinishHex();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The lower-case form of a 64-hex-digit text (either case accepted); none
// for anything else, including surrounding spaces.
std::optional<std::string> ParseSha256Hex(std::string_view text);
