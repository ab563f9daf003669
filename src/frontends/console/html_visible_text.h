#pragma once
// The text a reader sees of an HTML page, as a browser's "text of the whole
// document" gives it: no markup, scripts, styles, comments or head; entities
// decoded; white space collapsed as rendering collapses it; block elements
// and <br> on lines of their own; table cells separated by a tab.
#include <string>

namespace frontends::console {

// `utf8Html` is the page already converted to UTF-8; the result is UTF-8.
std::string VisibleTextOfHtml(const std::string& utf8Html);

}  // namespace frontends::console
