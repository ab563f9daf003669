#pragma once
// Finds the code page a downloaded HTML page is written in, the way a
// browser does: byte-order mark, then the server's Content-Type, then the
// page's own <meta> declaration.
#include <string>

namespace frontends::console {

// The code page (as ox_base::CodePageToUtf8 takes it) of a charset label
// such as "gb2312" or "UTF-8"; 0 when the label is not known.
unsigned CodePageOfCharset(const std::string& label);

// The code page of the page `html` served with the Content-Type header
// value `contentType` (may be empty). A page that declares nothing usable
// is read as UTF-8 when it is valid UTF-8, else in `fallbackCodePage`.
unsigned HtmlCodePage(const std::string& html, const std::string& contentType, unsigned fallbackCodePage);

}  // namespace frontends::console
