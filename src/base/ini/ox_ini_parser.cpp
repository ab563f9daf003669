#include "base/ini/ox_ini_parser.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

namespace ox_base {
namespace {

bool IsWhite(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// "_", backquote, lower-case letters, "{", "|", "}", "~", DEL.
bool IsNameHigh(unsigned char c) { return c >= 0x5F && c <= 0x7F; }
bool IsNameByte(unsigned char c) { return IsLetter(c) || IsDigit(c) || IsNameHigh(c); }

int HexDigit(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(OxIni& ini, const char* text, unsigned codePage)
      : m_ini(ini), m_p(text), m_end(text + std::strlen(text)), m_codePage(codePage) {}

  bool Run() {
    for (;;) {
      SkipWhite();
      if (AtEnd()) return true;
      unsigned char c = Peek();
      bool ok;
      if (c == '[') {
        ok = Section();
      } else if (c == ';' || c == '#' || StartsComment()) {
        SkipLine();
        ok = true;
      } else if (IsNameByte(c)) {
        ok = Key();
      } else {
        ok = false;
      }
      if (!ok) return false;
    }
  }

 private:
  bool AtEnd() const { return m_p >= m_end; }
  unsigned char Peek(size_t ahead = 0) const {
    return m_p + ahead < m_end ? static_cast<unsigned char>(m_p[ahead]) : 0;
  }
  bool StartsComment() const { return Peek() == '/' && Peek(1) == '/'; }
  void Advance() { ++m_p; }
  void SkipWhite() {
    while (!AtEnd() && IsWhite(Peek())) Advance();
  }
  void SkipLine() {
    while (!AtEnd() && Peek() != '\n' && Peek() != '\r') Advance();
  }

  // Bytes that follow a lead byte in one multi-byte character; sectionName
  // selects the lead range for double-byte code pages.
  int TrailCount(unsigned char c, bool sectionName) const {
    if (m_codePage >= 931 && m_codePage <= 969) return c >= (sectionName ? 0x81 : 0x80) ? 1 : 0;
    if (m_codePage >= 65000) {
      if ((c & 0xE0) == 0xC0) return 1;
      if ((c & 0xF0) == 0xE0) return 2;
      if ((c & 0xF8) == 0xF0) return 3;
    }
    return 0;
  }

  // Takes the byte at the cursor and the trailing bytes of its character.
  bool TakeUnit(std::string& out, bool sectionName) {
    int trail = TrailCount(Peek(), sectionName);
    out += *m_p;
    Advance();
    for (int i = 0; i < trail; ++i) {
      if (AtEnd()) return false;
      out += *m_p;
      Advance();
    }
    return true;
  }

  bool EndOfStatement() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) Advance();
    if (AtEnd() || Peek() == '\r' || Peek() == '\n') return true;
    if (Peek() == ';' || Peek() == '#' || StartsComment()) {
      SkipLine();
      return true;
    }
    return false;
  }

  bool Section() {
    Advance();  // "["
    SkipWhite();
    if (AtEnd()) return false;
    std::string name;
    // White space before the "]" is no part of the name; the trail byte of
    // a multi-byte character never counts as white space.
    size_t kept = 0;
    while (Peek() != ']') {
      const bool white = IsWhite(Peek());
      if (AtEnd() || !TakeUnit(name, true)) return false;
      if (!white) kept = name.size();
    }
    Advance();  // "]"
    name.resize(kept);
    if (!EndOfStatement()) return false;
    m_ini.AddSection(name.c_str());
    return true;
  }

  bool Key() {
    std::string name;
    while (!AtEnd() && IsNameByte(Peek())) {
      name += *m_p;
      Advance();
    }
    SkipWhite();
    if (Peek() != '=') return false;
    Advance();
    SkipWhite();
    if (AtEnd()) return false;
    bool added;
    if (!Value(name, added) || !added) return false;
    return EndOfStatement();
  }

  bool WordEnds(size_t ahead) const {
    unsigned char c = Peek(ahead);
    return m_p + ahead >= m_end || IsWhite(c) || c == ';' || c == '#' || (c == '/' && Peek(ahead + 1) == '/');
  }

  // Reads one value and adds the key; false on a syntax error.
  bool Value(const std::string& key, bool& added) {
    const char* k = key.c_str();
    unsigned char c = Peek();
    if (c == '"') {
      std::string value;
      if (!Quoted(value)) return false;
      added = m_ini.AddString(nullptr, k, value.c_str());
    } else if (c == '0' && Peek(1) == 'x') {
      Advance();
      Advance();
      uint32_t value = 0;
      for (int digit; !AtEnd() && (digit = HexDigit(Peek())) >= 0; Advance()) value = (value << 4) | digit;
      added = m_ini.AddHex(nullptr, k, value);
    } else if (c == '-' || IsDigit(c)) {
      Number(k, added);
    } else if (std::strncmp(m_p, "true", 4) == 0 && WordEnds(4)) {
      for (int i = 0; i < 4; ++i) Advance();
      added = m_ini.AddBool(nullptr, k, true);
    } else if (std::strncmp(m_p, "false", 5) == 0 && WordEnds(5)) {
      for (int i = 0; i < 5; ++i) Advance();
      added = m_ini.AddBool(nullptr, k, false);
    } else if (IsLetter(c) || IsNameHigh(c)) {
      std::string word;
      while (!AtEnd() && Peek() != ' ' && Peek() != '\r' && Peek() != '\n' && Peek() != ';' && Peek() != '#' &&
             !StartsComment()) {
        bool escaped = Peek() == '\\';
        word += *m_p;
        Advance();
        if (escaped) {
          if (AtEnd()) return false;
          word += *m_p;
          Advance();
        }
      }
      added = m_ini.AddString(nullptr, k, word.c_str());
    } else {
      return false;
    }
    return true;
  }

  bool Quoted(std::string& value) {
    Advance();  // opening quote
    for (;;) {
      if (AtEnd()) return false;
      if (Peek() == '"') break;
      if (Peek() == '\\') {
        value += *m_p;
        Advance();
        if (AtEnd()) return false;
      }
      if (!TakeUnit(value, false)) return false;
    }
    Advance();  // closing quote
    return true;
  }

  void Number(const char* key, bool& added) {
    bool negative = Peek() == '-';
    if (negative) {
      Advance();
      SkipWhite();
    }
    // Unsigned arithmetic: overlong integers wrap instead of overflowing.
    uint32_t integer = 0;
    std::string digits;
    while (!AtEnd() && IsDigit(Peek())) {
      integer = integer * 10 + (Peek() - '0');
      digits += *m_p;
      Advance();
    }
    if (Peek() == '.' && !AtEnd()) {
      Advance();
      digits = (digits.empty() ? "0" : digits) + ".";
      while (!AtEnd() && IsDigit(Peek())) {
        digits += *m_p;
        Advance();
      }
      added = m_ini.AddFloat(nullptr, key, negative ? -FloatOf(digits) : FloatOf(digits));
    } else {
      added = m_ini.AddInt(nullptr, key, static_cast<int32_t>(negative ? 0u - integer : integer));
    }
  }

  // The single-precision value nearest to the decimal text ("digits.digits"),
  // so that the "%f" text a float is kept as reads back as that float.
  // Beyond the range it is the largest float, below it zero.
  static float FloatOf(const std::string& decimal) {
    float value = 0.0f;
    const std::from_chars_result result = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
    if (result.ec != std::errc::result_out_of_range) return value;
    const bool large = decimal.find_first_of("123456789") < decimal.find('.');
    return large ? std::numeric_limits<float>::max() : 0.0f;
  }

  OxIni& m_ini;
  const char* m_p;
  const char* m_end;
  unsigned m_codePage;
};

}  // namespace

bool ParseIniText(OxIni& ini, const char* text, unsigned codePage) { return Parser(ini, text, codePage).Run(); }

}  // namespace ox_base
