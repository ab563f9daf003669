#include "xml/base64.h"

#include <array>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::array<unsigned char, 256> MakeDecodeTable() {
  std::array<unsigned char, 256> table{};  // unknown characters and "=" decode as 0
  for (unsigned char i = 0; i < 64; ++i) {
    table[static_cast<unsigned char>(kAlphabet[i])] = i;
  }
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

std::string Base64Decode(const std::string& text) {
  if (text.size() % 4 != 0) return {};
  static const std::array<unsigned char, 256> table = MakeDecodeTable();
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    unsigned group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      group = group << 6 | table[static_cast<unsigned char>(text[i + k])];
    }
    bytes += static_cast<char>(group >> 16 & 0xFF);
    bytes += static_cast<char>(group >> 8 & 0xFF);
    bytes += static_cast<char>(group & 0xFF);
  }
  if (!text.empty() && text.back() == '=') {
    bytes.pop_back();
    if (text[text.size() - 2] == '=') bytes.pop_back();
  }
  return bytes;
}
