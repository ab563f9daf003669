#include "xml/base64.h"

#include <array>
#include <optional>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr unsigned char kNotBase64 = 0xFF;
constexpr unsigned char kPadding = 0xFE;
constexpr unsigned char kBlank = 0xFD;

std::array<unsigned char, 256> MakeDecodeTable() {
  std::array<unsigned char, 256> table;
  table.fill(kNotBase64);
  for (unsigned char i = 0; i < 64; ++i) {
    table[static_cast<unsigned char>(kAlphabet[i])] = i;
  }
  table['='] = kPadding;
  for (unsigned char blank : {' ', '\t', '\r', '\n'}) table[blank] = kBlank;
  return table;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
    text += kAlphabet[group >> 18 & 63];
    text += kAlphabet[group >> 12 & 63];
    text += kAlphabet[group >> 6 & 63];
    text += kAlphabet[group & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    text += kAlphabet[group >> 18 & 63];
    text += kAlphabet[group >> 12 & 63];
    text += rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
    text += '=';
  }
  return text;
}

std::optional<std::string> Base64Decode(const std::string& text) {
  static const std::array<unsigned char, 256> table = MakeDecodeTable();
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  unsigned group = 0;
  int filled = 0;   // characters of the current group
  int padding = 0;  // "=" seen; only more "=" may follow
  for (const char c : text) {
    const unsigned char value = table[static_cast<unsigned char>(c)];
    if (value == kBlank) continue;
    if (value == kNotBase64) return std::nullopt;
    if (value == kPadding) {
      // "=" stands only for the last one or two characters of a group.
      if (filled < 2) return std::nullopt;
      ++padding;
    } else if (padding > 0) {
      return std::nullopt;
    }
    group = group << 6 | (value == kPadding ? 0 : value);
    if (++filled == 4) {
      bytes += static_cast<char>(group >> 16 & 0xFF);
      if (padding < 2) bytes += static_cast<char>(group >> 8 & 0xFF);
      if (padding < 1) bytes += static_cast<char>(group & 0xFF);
      group = 0;
      filled = 0;
      // A padded group ends the text: "=" is then no longer the group's
      // last characters, and other characters are refused above.
      if (padding > 0) padding = 3;
    }
  }
  if (filled != 0) return std::nullopt;
  return bytes;
}
