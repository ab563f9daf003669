#include "update/site/expected_content.h"

#include <charconv>
#include <cstdint>

#include "trust/sha256.h"

namespace {

// Decimal digits only, as publishers write a byte count.
bool ParseByteCount(const std::string& text, std::uint64_t& bytes) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, bytes);
  return error == std::errc() && stop == end;
}

}  // namespace

bool ExpectedContentOf(const FileCheck& check, bool verified, ExpectedContent& expected, std::string& problem) {
  expected = ExpectedContent();
  if (check.Sha256) {
    expected.sha256 = ParseSha256Hex(*check.Sha256);
    if (!expected.sha256) {
      problem = "the Sha256 value \"" + *check.Sha256 + "\" is not 64 hex digits";
      return false;
    }
  } else if (verified) {
    problem = "no Sha256 for this file: the update is verified, and the server document gives none";
    return false;
  }
  if (check.Size) {
    std::uint64_t bytes = 0;
    if (!ParseByteCount(*check.Size, bytes)) {
      problem = "the Size value \"" + *check.Size + "\" is not a number of bytes";
      return false;
    }
    expected.size = bytes;
  } else if (verified) {
    // The hash is known only at the end: without a size, the file could
    // grow without bound before it is found wrong.
    problem = "no Size for this file: the update is verified, and the server document gives none";
    return false;
  }
  return true;
}
