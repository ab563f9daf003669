#include "frontends/console/html_tokenizer.h"

namespace frontends::console {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string s) {
  for (char& c : s) c = Lower(c);
  return s;
}

// Elements whose content the parser does not read as markup.
bool IsRawTextElement(const std::string& name) {
  static const char* const kNames[] = {"script", "style",   "title",   "textarea", "xmp",
                                       "iframe", "noembed", "noframes", "noscript"};
  for (const char* n : kNames) {
    if (name == n) return true;
  }
  return false;
}

class Tokenizer {
 public:
  explicit Tokenizer(const std::string& html) : html_(html) {}

  std::vector<HtmlToken> Run() {
    size_t textStart = 0;
    while (pos_ < html_.size()) {
      if (html_[pos_] != '<' || !StartsMarkup()) {
        ++pos_;
        continue;
      }
      AddText(textStart, pos_);
      ReadMarkup();
      textStart = pos_;
      if (!tokens_.empty() && tokens_.back().kind == HtmlToken::StartTag &&
          !tokens_.back().selfClosing && IsRawTextElement(tokens_.back().text)) {
        textStart = ReadRawText(tokens_.back().text);
      }
    }
    AddText(textStart, html_.size());
    return std::move(tokens_);
  }

 private:
  bool StartsMarkup() const {
    if (pos_ + 1 >= html_.size()) return false;
    char next = html_[pos_ + 1];
    return IsAsciiLetter(next) || next == '/' || next == '!' || next == '?';
  }

  void AddText(size_t from, size_t to) {
    if (to > from) tokens_.push_back(HtmlToken{HtmlToken::Text, html_.substr(from, to - from), {}, false});
  }

  void ReadMarkup() {
    if (html_.compare(pos_, 4, "<!--") == 0) {
      size_t end = html_.find("-->", pos_ + 4);
      size_t stop = end == std::string::npos ? html_.size() : end;
      tokens_.push_back(HtmlToken{HtmlToken::Comment, html_.substr(pos_ + 4, stop - pos_ - 4), {}, false});
      pos_ = end == std::string::npos ? html_.size() : end + 3;
      return;
    }
    char next = html_[pos_ + 1];
    bool endTag = next == '/' && pos_ + 2 < html_.size() && IsAsciiLetter(html_[pos_ + 2]);
    if (next == '!' || next == '?' || (next == '/' && !endTag)) {
      // Doctype, processing instruction or a broken end tag: ignored up to ">".
      size_t end = html_.find('>', pos_);
      size_t stop = end == std::string::npos ? html_.size() : end;
      tokens_.push_back(HtmlToken{HtmlToken::Comment, html_.substr(pos_ + 2, stop - pos_ - 2), {}, false});
      pos_ = end == std::string::npos ? html_.size() : end + 1;
      return;
    }
    ReadTag(endTag);
  }

  void ReadTag(bool endTag) {
    HtmlToken tag;
    tag.kind = endTag ? HtmlToken::EndTag : HtmlToken::StartTag;
    size_t p = pos_ + (endTag ? 2 : 1);
    size_t nameStart = p;
    while (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '/' && html_[p] != '>') ++p;
    tag.text = LowerCase(html_.substr(nameStart, p - nameStart));
    while (p < html_.size() && html_[p] != '>') {
      if (IsSpace(html_[p])) {
        ++p;
      } else if (html_[p] == '/') {
        ++p;
        tag.selfClosing = p < html_.size() && html_[p] == '>';
      } else {
        p = ReadAttribute(p, tag);
      }
    }
    if (p >= html_.size()) {
      pos_ = html_.size();  // cut off: no tag, no text
      return;
    }
    pos_ = p + 1;
    tokens_.push_back(std::move(tag));
  }

  size_t ReadAttribute(size_t p, HtmlToken& tag) {
    size_t nameStart = p;
    ++p;  // the first character belongs to the name, even "="
    while (p < html_.size() && !IsSpace(html_[p]) && html_[p] != '/' && html_[p] != '>' && html_[p] != '=') ++p;
    std::string name = LowerCase(html_.substr(nameStart, p - nameStart));
    size_t q = p;
    while (q < html_.size() && IsSpace(html_[q])) ++q;
    std::string value;
    if (q < html_.size() && html_[q] == '=') {
      ++q;
      while (q < html_.size() && IsSpace(html_[q])) ++q;
      if (q < html_.size() && (html_[q] == '"' || html_[q] == '\'')) {
        size_t end = html_.find(html_[q], q + 1);
        if (end == std::string::npos) return html_.size();
        value = html_.substr(q + 1, end - q - 1);
        p = end + 1;
      } else {
        size_t valueStart = q;
        while (q < html_.size() && !IsSpace(html_[q]) && html_[q] != '>') ++q;
        value = html_.substr(valueStart, q - valueStart);
        p = q;
      }
    }
    if (tag.kind == HtmlToken::StartTag) tag.attributes.emplace_back(std::move(name), std::move(value));
    return p;
  }

  // Skips to the end tag of a raw-text element; its content becomes one Text
  // token. Returns where ordinary text continues.
  size_t ReadRawText(const std::string& name) {
    size_t start = pos_;
    size_t p = pos_;
    while ((p = html_.find("</", p)) != std::string::npos) {
      size_t after = p + 2 + name.size();
      if (after <= html_.size() && LowerCase(html_.substr(p + 2, name.size())) == name &&
          (after == html_.size() || IsSpace(html_[after]) || html_[after] == '>' || html_[after] == '/')) {
        break;
      }
      p += 2;
    }
    size_t end = p == std::string::npos ? html_.size() : p;
    AddText(start, end);
    pos_ = end;
    return end;
  }

  const std::string& html_;
  size_t pos_ = 0;
  std::vector<HtmlToken> tokens_;
};

}  // namespace

std::vector<HtmlToken> TokenizeHtml(const std::string& html) { return Tokenizer(html).Run(); }

}  // namespace frontends::console
