// Any web page reaches the console's text reader: arbitrary bytes go
// through it as the news panel takes them (charset, conversion, visible
// text), with the first line as the server's Content-Type. Nothing may
// crash, and text that was UTF-8 stays UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/text/ox_unicode.h"
#include "frontends/console/html_charset.h"
#include "frontends/console/html_entities.h"
#include "frontends/console/html_tokenizer.h"
#include "frontends/console/html_visible_text.h"

namespace {

constexpr unsigned kUtf8 = 65001;

bool IsUtf8(const std::string& text) { return ox_base::CodePageToUtf8Exact(text, kUtf8).has_value(); }

void CheckReferences(const std::string& text) {
  for (std::size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
    std::string decoded;
    const std::size_t next = frontends::console::DecodeCharacterReference(text, at, decoded);
    if (next < at || next > text.size() || (next == at) != decoded.empty() || !IsUtf8(decoded)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = bytes.find('\n');
  const std::string contentType = lineEnd == std::string::npos ? "" : bytes.substr(0, lineEnd);
  const std::string page = lineEnd == std::string::npos ? bytes : bytes.substr(lineEnd + 1);

  frontends::console::TokenizeHtml(page);
  CheckReferences(page);
  const unsigned codePage = frontends::console::HtmlCodePage(page, contentType, ox_base::kLauncherCodePage);
  const std::string utf8Page = ox_base::CodePageToUtf8(page, codePage);
  const std::string text = frontends::console::VisibleTextOfHtml(utf8Page);
  if (IsUtf8(utf8Page) && !IsUtf8(text)) std::abort();
  return 0;
}
