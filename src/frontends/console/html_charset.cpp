#include "frontends/console/html_charset.h"

#include <algorithm>
#include <cctype>

#include "frontends/console/html_tokenizer.h"

namespace frontends::console {
namespace {

constexpr unsigned kUtf8 = 65001;

std::string Trimmed(const std::string& s) {
  const char* space = " \t\r\n\f\"'";
  size_t begin = s.find_first_not_of(space);
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(space);
  return s.substr(begin, end - begin + 1);
}

std::string LowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// The value after "charset=" in a Content-Type style value, empty if none.
std::string CharsetParameter(const std::string& value) {
  std::string lower = LowerCase(value);
  size_t at = lower.find("charset");
  if (at == std::string::npos) return "";
  size_t p = lower.find_first_not_of(" \t", at + 7);
  if (p == std::string::npos || lower[p] != '=') return "";
  std::string rest = value.substr(p + 1);
  return Trimmed(rest.substr(0, rest.find(';')));
}

// The charset a <meta> element of the page declares, empty if none.
std::string MetaCharset(const std::string& html) {
  for (const HtmlToken& token : TokenizeHtml(html)) {
    if (token.kind != HtmlToken::StartTag) continue;
    if (token.text == "body") break;
    if (token.text != "meta") continue;
    bool contentType = false;
    std::string content;
    for (const auto& [name, value] : token.attributes) {
      if (name == "charset") return Trimmed(value);
      if (name == "http-equiv") contentType = LowerCase(Trimmed(value)) == "content-type";
      if (name == "content") content = value;
    }
    if (contentType) {
      std::string charset = CharsetParameter(content);
      if (!charset.empty()) return charset;
    }
  }
  return "";
}

bool IsValidUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

unsigned CodePageOfCharset(const std::string& label) {
  struct Entry {
    const char* label;
    unsigned codePage;
  };
  // GB2312 and GB18030 pages are read as GBK: GBK covers GB2312 whole and
  // every two-byte character of GB18030.
  static const Entry kEntries[] = {
      {"utf-8", kUtf8},         {"utf8", kUtf8},          {"unicode-1-1-utf-8", kUtf8},
      {"gbk", 936},             {"gb2312", 936},          {"gb_2312-80", 936},
      {"x-gbk", 936},           {"cp936", 936},           {"windows-936", 936},
      {"euc-cn", 936},          {"gb18030", 936},         {"big5", 950},
      {"shift_jis", 932},       {"sjis", 932},            {"windows-31j", 932},
      {"euc-kr", 949},          {"ks_c_5601-1987", 949},  {"windows-1251", 1251},
      {"windows-1252", 1252},   {"iso-8859-1", 1252},     {"latin1", 1252},
      {"us-ascii", 1252},       {"ascii", 1252},
  };
  std::string lower = LowerCase(Trimmed(label));
  for (const Entry& e : kEntries) {
    if (lower == e.label) return e.codePage;
  }
  return 0;
}

unsigned HtmlCodePage(const std::string& html, const std::string& contentType, unsigned fallbackCodePage) {
  if (html.compare(0, 3, "\xEF\xBB\xBF") == 0) return kUtf8;
  if (unsigned fromServer = CodePageOfCharset(CharsetParameter(contentType))) return fromServer;
  if (unsigned fromPage = CodePageOfCharset(MetaCharset(html))) return fromPage;
  return IsValidUtf8(html) ? kUtf8 : fallbackCodePage;
}

}  // namespace frontends::console
