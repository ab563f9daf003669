#include "net/content_check.h"

#include "trust/sha256.h"

namespace {

std::string SizeDiffers(std::uint64_t actual, std::uint64_t announced) {
  return "size " + std::to_string(actual) + " differs from the announced " + std::to_string(announced);
}

}  // namespace

ContentCheck::ContentCheck(const ExpectedContent& expected)
    : expected_(expected), hash_(expected.sha256 ? std::make_unique<Sha256>() : nullptr) {}

ContentCheck::~ContentCheck() = default;

std::string ContentCheck::CheckLength(std::uint64_t length) const {
  if (expected_.size && length != *expected_.size) return SizeDiffers(length, *expected_.size);
  return {};
}

void ContentCheck::Update(std::string_view bytes) {
  bytes_ += bytes.size();
  if (hash_) hash_->Update(bytes);
}

std::string ContentCheck::Finish() {
  if (expected_.size && bytes_ != *expected_.size) return SizeDiffers(bytes_, *expected_.size);
  if (hash_) {
    const std::string got = hash_->FinishHex();
    if (got != *expected_.sha256) return "SHA-256 mismatch: expected " + *expected_.sha256 + ", got " + got;
  }
  return {};
}
