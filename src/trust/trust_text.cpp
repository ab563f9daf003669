#include "trust/trust_text.h"

#include <sodium.h>

#include "trust/sodium_ready.h"

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool DecodeBase64Exact(std::string_view text, std::uint8_t* out, std::size_t size) {
  SodiumReady();
  std::size_t decoded = 0;
  // Without an end pointer libsodium refuses input it cannot consume fully;
  // it also refuses output that would exceed `size`.
  return sodium_base642bin(out, size, text.data(), text.size(), nullptr, &decoded, nullptr,
                           sodium_base64_VARIANT_ORIGINAL) == 0 &&
         decoded == size;
}

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t size) {
  SodiumReady();
  std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
  text.resize(text.size() - 1);  // the terminator libsodium writes
  return text;
}

std::string LowerHex(const std::uint8_t* bytes, std::size_t size) {
  SodiumReady();
  std::string text(size * 2 + 1, '\0');
  sodium_bin2hex(text.data(), text.size(), bytes, size);
  text.resize(size * 2);
  return text;
}
