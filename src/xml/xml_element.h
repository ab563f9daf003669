#pragma once
// One node of a document tree: an element, an attribute or a text node.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CXMLElement {
 public:
  enum Type { kElement = 1, kAttribute = 2, kText = 3 };

  // Stores the type and a copy of the name; a null name changes nothing.
  // For a text node the "name" is the text itself.
  void SetName(const char* name, int type);
  // Replaces the value by a copy; a null value changes nothing.
  void SetValue(const char* value);

  // Null until set.
  const char* GetName() const { return hasName_ ? name_.c_str() : nullptr; }
  const char* GetValue() const { return hasValue_ ? value_.c_str() : nullptr; }
  int GetType() const { return type_; }

  // Appends the child and takes ownership; a null child is ignored. Returns
  // the appended child. The first child also becomes the cursor.
  CXMLElement* AddChild(std::unique_ptr<CXMLElement> child);

  // Children in insertion order through the element's single cursor: one
  // iteration per element at a time (a child's own children may be walked
  // inside the loop, as they use the child's cursor).
  CXMLElement* GetFirstChild();
  CXMLElement* GetNextChild();

 private:
  static constexpr std::size_t kNoCursor = static_cast<std::size_t>(-1);

  int type_ = 0;
  bool hasName_ = false;
  std::string name_;
  bool hasValue_ = false;
  std::string value_;
  std::vector<std::unique_ptr<CXMLElement>> children_;
  std::size_t cursor_ = kNoCursor;
};
