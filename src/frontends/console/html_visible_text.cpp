#include "frontends/console/html_visible_text.h"

#include "frontends/console/html_entities.h"
#include "frontends/console/html_tokenizer.h"

namespace frontends::console {
namespace {

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (name == n) return true;
  }
  return false;
}

// Elements whose content is never shown.
bool IsHidden(const std::string& name) {
  return IsOneOf(name, {"head", "title", "script", "style", "noscript", "template", "textarea", "iframe",
                        "noembed", "noframes", "select"});
}

bool IsBlock(const std::string& name) {
  return IsOneOf(name, {"html", "body", "address", "article", "aside", "blockquote", "caption", "center", "dd",
                        "details", "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure",
                        "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr", "legend", "li",
                        "main", "menu", "nav", "ol", "p", "pre", "section", "summary", "table", "tbody", "tfoot",
                        "thead", "tr", "ul", "listing", "xmp"});
}

bool KeepsWhiteSpace(const std::string& name) { return IsOneOf(name, {"pre", "listing", "xmp"}); }

// The length of the line break the text starts with, 0 when none.
size_t LeadingLineBreak(const std::string& text) {
  if (text.compare(0, 2, "\r\n") == 0) return 2;
  return text.compare(0, 1, "\n") == 0 ? 1 : 0;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

class TextBuilder {
 public:
  void LineBreak() {
    out_.push_back('\n');
    pendingSpace_ = false;
  }

  // Starts a new line unless the text already stands at the start of one.
  void BlockBoundary() {
    if (!out_.empty() && out_.back() != '\n') out_.push_back('\n');
    pendingSpace_ = false;
  }

  void CellBoundary() {
    if (!out_.empty() && out_.back() != '\n') out_.push_back('\t');
    pendingSpace_ = false;
  }

  void AddText(const std::string& raw, bool keepWhiteSpace) {
    for (size_t i = 0; i < raw.size();) {
      char c = raw[i];
      if (c == '&') {
        std::string decoded;
        size_t next = DecodeCharacterReference(raw, i, decoded);
        if (next != i) {
          AddVisible(decoded);
          i = next;
          continue;
        }
      }
      if (keepWhiteSpace && (c == '\n' || c == '\t' || c == ' ')) {
        if (c == '\n') LineBreak(); else out_.push_back(c);
      } else if (keepWhiteSpace && c == '\r') {
        // "\r\n" in a <pre> is one line break, given by the "\n".
      } else if (IsSpace(c)) {
        pendingSpace_ = true;
      } else {
        AddVisible(std::string(1, c));
      }
      ++i;
    }
  }

  std::string Finish() {
    while (!out_.empty() && IsSpace(out_.back())) out_.pop_back();
    return out_;
  }

 private:
  void AddVisible(const std::string& text) {
    if (pendingSpace_ && !out_.empty() && out_.back() != '\n' && out_.back() != '\t') out_.push_back(' ');
    pendingSpace_ = false;
    out_ += text;
  }

  std::string out_;
  bool pendingSpace_ = false;
};

}  // namespace

std::string VisibleTextOfHtml(const std::string& utf8Html) {
  TextBuilder text;
  std::string hiddenBy;  // the hidden element whose end tag shows text again
  int keepWhiteSpace = 0;
  bool afterPreStart = false;  // a newline right after <pre> is not content
  for (const HtmlToken& token : TokenizeHtml(utf8Html)) {
    const std::string& name = token.text;
    bool followsPreStart = afterPreStart;
    afterPreStart = false;
    switch (token.kind) {
      case HtmlToken::Comment:
        break;
      case HtmlToken::Text:
        if (hiddenBy.empty()) {
          size_t skip = followsPreStart ? LeadingLineBreak(token.text) : 0;
          text.AddText(token.text.substr(skip), keepWhiteSpace > 0);
        }
        break;
      case HtmlToken::StartTag:
        // A page that never closes its head still shows its body.
        if (hiddenBy == "head" && name == "body") hiddenBy.clear();
        if (!hiddenBy.empty()) break;
        if (IsHidden(name)) {
          if (!token.selfClosing) hiddenBy = name;
        } else if (name == "br") {
          text.LineBreak();
        } else if (name == "td" || name == "th") {
          text.CellBoundary();
        } else if (IsBlock(name)) {
          text.BlockBoundary();
          if (KeepsWhiteSpace(name)) {
            ++keepWhiteSpace;
            afterPreStart = true;
          }
        }
        break;
      case HtmlToken::EndTag:
        if (!hiddenBy.empty()) {
          if (name == hiddenBy) hiddenBy.clear();
        } else if (IsBlock(name)) {
          text.BlockBoundary();
          if (KeepsWhiteSpace(name) && keepWhiteSpace > 0) --keepWhiteSpace;
        }
        break;
    }
  }
  return text.Finish();
}

}  // namespace frontends::console
