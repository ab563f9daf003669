#include "xml/xml_element.h"

void CXMLElement::SetName(const char* name, int type) {
  if (name == nullptr) return;
  type_ = type;
  name_ = name;
  hasName_ = true;
}

void CXMLElement::SetValue(const char* value) {
  if (value == nullptr) return;
  value_ = value;
  hasValue_ = true;
}

CXMLElement* CXMLElement::AddChild(std::unique_ptr<CXMLElement> child) {
  if (!child) return nullptr;
  children_.push_back(std::move(child));
  if (children_.size() == 1) cursor_ = 0;
  return children_.back().get();
}

CXMLElement* CXMLElement::GetFirstChild() {
  if (children_.empty()) {
    cursor_ = kNoCursor;
    return nullptr;
  }
  cursor_ = 0;
  return children_.front().get();
}

CXMLElement* CXMLElement::GetNextChild() {
  if (cursor_ == kNoCursor) return nullptr;
  if (cursor_ + 1 >= children_.size()) {
    cursor_ = kNoCursor;
    return nullptr;
  }
  return children_[++cursor_].get();
}
