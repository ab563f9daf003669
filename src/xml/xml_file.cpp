#include "xml/xml_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "xml/base64.h"
#include "xml/tag_scanner.h"

namespace {

// Through the base file system, which finds the file whatever the letter
// case of its name.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  ox_base::OxArchivePtr file = fileSystem->OpenRead(path, ox_base::OX_READ_QUIET);
  if (!file) return false;
  bytes.assign(static_cast<std::size_t>(std::max<std::int64_t>(file->GetSize(), 0)), '\0');
  const int got = bytes.empty() ? 0 : file->Serialize(&bytes[0], static_cast<int>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(std::max(got, 0)));
  return file->Close();
}

bool IsQuote(char byte) { return byte == '"' || byte == '\''; }

// Names and values are NUL-terminated strings: a NUL byte ends them.
void CutAtNul(std::string& text) { text.resize(std::strlen(text.c_str())); }

}  // namespace

bool CXMLFile::Load(const std::string& path, bool raw) {
  std::string fileText;
  if (!ReadWholeFile(path, fileText)) fileText.clear();
  return LoadText(fileText, raw);
}

bool CXMLFile::LoadText(const std::string& fileText, bool raw) {
  Close();
  if (fileText.empty()) return false;
  if (raw) {
    data_ = fileText;
  } else {
    // Text that is not Base64, or only blanks, holds no document.
    std::optional<std::string> decoded = Base64Decode(fileText);
    if (!decoded || decoded->empty()) return false;
    data_ = std::move(*decoded);
  }
  root_ = std::make_unique<CXMLElement>();
  root_->SetName("XML:ROOT", CXMLElement::kElement);
  // The last position is one past the last byte; the scanner never reaches it.
  return ParseRange(root_.get(), 0, static_cast<std::ptrdiff_t>(data_.size()), 0) != 0;
}

void CXMLFile::Close() {
  root_.reset();
  data_.clear();
  data_.shrink_to_fit();
}

int CXMLFile::ParseRange(CXMLElement* parent, std::ptrdiff_t first, std::ptrdiff_t last, int depth) {
  if (depth > kMaxNestingDepth) return 0;
  const std::ptrdiff_t end = std::min(last, static_cast<std::ptrdiff_t>(data_.size()) - 1);

  TagScanner scanner;
  std::string openName;  // empty: no element open at this level
  std::string expectedClose;
  std::ptrdiff_t contentStart = 0;
  bool textOnly = true;
  std::ptrdiff_t textStart = first;
  std::string attributeName;
  std::string attributeValue;
  std::ptrdiff_t closingQuote = -1;
  int result = 0;

  for (std::ptrdiff_t p = first; p <= end; ++p) {
    const char byte = data_[p];
    if (byte == '<') textOnly = false;
    if (byte == '>') textStart = p + 1;

    if (scanner.Step(byte)) {
      if (scanner.Overflowed()) return 0;
      const std::string tag(scanner.TagText(), scanner.TagLength());
      if (openName.empty()) {
        // An empty name (a declaration or comment) opens nothing.
        openName = scanner.TagText();
        if (openName.size() + 2 > kElementNameCapacity) return 0;
        expectedClose = "/" + openName;
        contentStart = p + 1;
      } else if (tag == expectedClose) {
        auto element = std::make_unique<CXMLElement>();
        element->SetName(openName.c_str(), CXMLElement::kElement);
        CXMLElement* child = parent->AddChild(std::move(element));
        // The content ends at the byte before the closing tag's "<".
        const std::ptrdiff_t contentLast = p - static_cast<std::ptrdiff_t>(tag.size()) - 2;
        result = ParseRange(child, contentStart, contentLast, depth + 1);
        if (result == 0) return 0;
        openName.clear();
        expectedClose.clear();
      } else {
        result = 0;  // a tag that does not close the open element
      }
    }

    if (byte == '=') {
      const std::optional<std::size_t> quote =
          ParseAttribute(static_cast<std::size_t>(p), attributeName, attributeValue);
      if (!quote) return 0;
      closingQuote = static_cast<std::ptrdiff_t>(*quote);
    }

    if (p == closingQuote && openName.empty()) {
      auto attribute = std::make_unique<CXMLElement>();
      attribute->SetName(attributeName.c_str(), CXMLElement::kAttribute);
      attribute->SetValue(attributeValue.c_str());
      parent->AddChild(std::move(attribute));
    }
  }

  if (textOnly) {
    const std::ptrdiff_t length = std::max<std::ptrdiff_t>(0, end - textStart + 1);
    const std::string text = length > 0 ? data_.substr(textStart, length) : std::string();
    auto node = std::make_unique<CXMLElement>();
    node->SetName(text.c_str(), CXMLElement::kText);
    parent->AddChild(std::move(node));
    result = 1;
  }
  return result;
}

std::optional<std::size_t> CXMLFile::ParseAttribute(std::size_t equalsPosition, std::string& name,
                                                    std::string& value) const {
  // The name runs backwards from the "=" to a space or markup byte; quotes
  // around it are skipped.
  name.clear();
  for (std::size_t i = equalsPosition; i-- > 0;) {
    const char byte = data_[i];
    if (byte == ' ' || byte == '<' || byte == '>' || byte == '?' || byte == '!') break;
    if (IsQuote(byte)) continue;
    if (name.size() + 1 >= kAttributeNameCapacity) return std::nullopt;
    name += byte;
  }
  std::reverse(name.begin(), name.end());
  CutAtNul(name);

  // The value lies between the next two quotes of either kind.
  value.clear();
  const auto quote = [this](std::size_t from) {
    std::size_t i = from;
    while (i < data_.size() && !IsQuote(data_[i])) ++i;
    return i;
  };
  const std::size_t opening = quote(equalsPosition + 1);
  if (opening >= data_.size()) return data_.size();
  const std::size_t closing = quote(opening + 1);
  if (closing >= data_.size()) return data_.size();
  if (closing - opening - 1 >= kAttributeValueCapacity) return std::nullopt;
  value = data_.substr(opening + 1, closing - opening - 1);
  CutAtNul(value);
  return closing;
}
