#pragma once
// Splits HTML into text runs, tags and comments, as far as reading a
// page's text needs it. Works on bytes, so it serves both the raw download
// (to find the declared charset) and the converted UTF-8 document.
#include <string>
#include <utility>
#include <vector>

namespace frontends::console {

struct HtmlToken {
  enum Kind { Text, StartTag, EndTag, Comment };
  Kind kind = Text;
  // Text and comments: the raw bytes, entities not decoded.
  // Tags: the lower-case tag name.
  std::string text;
  // Start tags: attribute names in lower case with their raw values.
  std::vector<std::pair<std::string, std::string>> attributes;
  bool selfClosing = false;
};

// Never fails: malformed markup becomes text or is dropped as a browser
// would (a tag cut off at the end of the document is dropped). The content
// of script, style, title, textarea and similar raw-text elements is one
// Text token, whatever "<" it holds.
std::vector<HtmlToken> TokenizeHtml(const std::string& html);

}  // namespace frontends::console
