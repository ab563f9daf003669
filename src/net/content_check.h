#pragma once
// What a downloaded file must turn out to be, as the server document
// announces it (its SHA-256 and its size), and the check that follows the
// file's bytes as they are stored: the hash is taken while the body
// arrives, never by reading the file a second time.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class Sha256;

struct ExpectedContent {
  std::optional<std::string> sha256;  // 64 lower-case hex digits
  std::optional<std::uint64_t> size;  // bytes
};

class ContentCheck {
 public:
  explicit ContentCheck(const ExpectedContent& expected);
  ~ContentCheck();
  ContentCheck(const ContentCheck&) = delete;
  ContentCheck& operator=(const ContentCheck&) = delete;

  // The whole file's length as the server gives it, before the body comes:
  // empty when it can be the announced file, else why not.
  std::string CheckLength(std::uint64_t length) const;
  // The file's bytes, in order: those already on disk first (a download
  // that goes on where it stopped), then each piece as it is stored.
  void Update(std::string_view bytes);
  // After the last byte: empty when the file is the announced one, else
  // why not ("SHA-256 mismatch: expected ..., got ...").
  std::string Finish();

 private:
  ExpectedContent expected_;
  std::unique_ptr<Sha256> hash_;  // only when a hash was announced
  std::uint64_t bytes_ = 0;
};
