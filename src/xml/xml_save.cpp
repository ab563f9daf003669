#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

// The values the version write-back records: an attribute of one of these
// names is written with the document's field, any other keeps its loaded
// value. Every attribute keeps its own name, so a document whose attributes
// stand in another order than updatecfg.xml's is not scrambled.
struct RecordedAttribute {
  const char* name;
  std::string ConfigFields::*field;
  // Added to the first element when no element carries it: without it the
  // next start would not know the version installed or where to look.
  bool required;
};

const RecordedAttribute kRecordedAttributes[] = {
    {"MainVersion", &ConfigFields::MainVersion, true},
    {"SubVersion", &ConfigFields::SubVersion, true},
    {"FileVersion", &ConfigFields::FileVersion, true},
    {"PackageCode", &ConfigFields::PackageCode, true},
    {"UpdateServerAddr", &ConfigFields::UpdateServerAddr, true},
    {"ForceUpdateVersion", &ConfigFields::ForceUpdate, false},
};

const RecordedAttribute* Recorded(const std::string& name) {
  for (const RecordedAttribute& attribute : kRecordedAttributes) {
    if (name == attribute.name) return &attribute;
  }
  return nullptr;
}

std::string NameOf(CXMLElement* node) { return node->GetName() != nullptr ? node->GetName() : ""; }

// The names of the leading attributes of `element` and of every element
// below it.
void CollectAttributeNames(CXMLElement* element, std::set<std::string>& names) {
  std::vector<CXMLElement*> elements;
  bool leading = true;
  for (CXMLElement* child = element->GetFirstChild(); child != nullptr; child = element->GetNextChild()) {
    leading = leading && child->GetType() == CXMLElement::kAttribute;
    if (leading) names.insert(NameOf(child));
    if (child->GetType() == CXMLElement::kElement) elements.push_back(child);
  }
  for (CXMLElement* child : elements) CollectAttributeNames(child, names);
}

void AppendAttribute(std::string& output, const std::string& name, const std::string& value) {
  output += " " + name + "=\"" + value + "\" ";
}

}  // namespace

bool CXMLFile::Save(const std::string& path) {
  if (!root_) return false;
  std::string output = "<?xml version=\"1.0\"?>\n";

  // The root's leading attributes come from the declaration and are not
  // written back.
  std::vector<CXMLElement*> elements;
  bool leading = true;
  for (CXMLElement* child = root_->GetFirstChild(); child != nullptr; child = root_->GetNextChild()) {
    leading = leading && child->GetType() == CXMLElement::kAttribute;
    if (!leading) elements.push_back(child);
  }
  std::set<std::string> present;
  for (CXMLElement* element : elements) CollectAttributeNames(element, present);
  std::vector<std::pair<std::string, std::string>> missing;
  for (const RecordedAttribute& attribute : kRecordedAttributes) {
    if (attribute.required && present.count(attribute.name) == 0) missing.emplace_back(attribute.name, config.*(attribute.field));
  }

  bool result = false;
  bool first = true;
  for (CXMLElement* element : elements) {
    const bool isElement = element->GetType() == CXMLElement::kElement;
    result = WriteElement(output, element, first && isElement ? missing : decltype(missing)());
    first = first && !isElement;
  }

  if (!ox_base::OxBase::GetFileSystem()->ReplaceContents(path, Base64Encode(output), false)) return false;
  return result;
}

bool CXMLFile::WriteElement(std::string& output, CXMLElement* element,
                            const std::vector<std::pair<std::string, std::string>>& added) {
  if (element == nullptr) return false;
  if (element->GetType() != CXMLElement::kElement) return true;  // text is not written
  const std::string name = NameOf(element);

  output += "<" + name;
  CXMLElement* child = element->GetFirstChild();
  for (; child != nullptr && child->GetType() == CXMLElement::kAttribute; child = element->GetNextChild()) {
    const std::string attributeName = NameOf(child);
    const RecordedAttribute* recorded = Recorded(attributeName);
    AppendAttribute(output, attributeName,
                    recorded != nullptr ? config.*(recorded->field) : (child->GetValue() != nullptr ? child->GetValue() : ""));
  }
  for (const auto& [addedName, value] : added) AppendAttribute(output, addedName, value);
  output += ">\n";
  for (; child != nullptr; child = element->GetNextChild()) {
    WriteElement(output, child, {});
  }
  output += "</" + name + ">\n";
  return true;
}
