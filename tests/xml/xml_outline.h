#pragma once
// A one-line picture of a tree for comparisons in tests:
// element -> name(children), attribute -> @name=value, text -> "text".
#include <string>

#include "xml/xml_element.h"

inline std::string Outline(CXMLElement* node) {
  const std::string name = node->GetName() != nullptr ? node->GetName() : "<null>";
  switch (node->GetType()) {
    case CXMLElement::kAttribute:
      return "@" + name + "=" + (node->GetValue() != nullptr ? node->GetValue() : "<null>");
    case CXMLElement::kText:
      return "\"" + name + "\"";
    default: {
      std::string children;
      for (CXMLElement* child = node->GetFirstChild(); child != nullptr; child = node->GetNextChild()) {
        children += (children.empty() ? "" : " ") + Outline(child);
      }
      return name + "(" + children + ")";
    }
  }
}
