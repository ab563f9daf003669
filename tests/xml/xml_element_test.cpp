#include "xml/xml_element.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<CXMLElement> Node(const char* name, int type = CXMLElement::kElement) {
  auto node = std::make_unique<CXMLElement>();
  node->SetName(name, type);
  return node;
}

}  // namespace

TEST(XmlElement, NullNamesValuesAndChildrenChangeNothing) {
  CXMLElement element;
  EXPECT_EQ(element.GetName(), nullptr);
  element.SetName("k", CXMLElement::kAttribute);
  element.SetValue("v");
  element.SetName(nullptr, CXMLElement::kText);
  element.SetValue(nullptr);
  EXPECT_STREQ(element.GetName(), "k");
  EXPECT_EQ(element.GetType(), CXMLElement::kAttribute);
  EXPECT_STREQ(element.GetValue(), "v");

  EXPECT_EQ(element.AddChild(nullptr), nullptr);
  EXPECT_EQ(element.GetFirstChild(), nullptr);
}

TEST(XmlElement, OneCursorWalksChildrenInInsertionOrder) {
  CXMLElement parent;
  CXMLElement* a = parent.AddChild(Node("a"));
  // The first child becomes the cursor, so the next one is reachable at once.
  CXMLElement* b = parent.AddChild(Node("b"));
  EXPECT_EQ(parent.GetNextChild(), b);

  a->AddChild(Node("a1"));
  a->AddChild(Node("a2"));
  std::string walked;
  for (CXMLElement* child = parent.GetFirstChild(); child != nullptr; child = parent.GetNextChild()) {
    walked += child->GetName();
    for (CXMLElement* inner = child->GetFirstChild(); inner != nullptr; inner = child->GetNextChild()) {
      walked += std::string("[") + inner->GetName() + "]";
    }
  }
  EXPECT_EQ(walked, "a[a1][a2]b");

  // Past the end the cursor stays empty, even when children are appended.
  EXPECT_EQ(parent.GetNextChild(), nullptr);
  parent.AddChild(Node("c"));
  EXPECT_EQ(parent.GetNextChild(), nullptr);
  EXPECT_EQ(parent.GetFirstChild(), a);
}
