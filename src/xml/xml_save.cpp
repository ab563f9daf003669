#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

// Attributes are written under the name of their position, whatever name
// they were loaded with; a null field means the attribute keeps its own
// loaded value.
struct PositionalAttribute {
  const char* name;
  std::string ConfigFields::*field;
};

const PositionalAttribute kPositionalAttributes[] = {
    {"MainVersion", &ConfigFields::MainVersion},
    {"SubVersion", &ConfigFields::SubVersion},
    {"FileVersion", &ConfigFields::FileVersion},
    {"PackageCode", &ConfigFields::PackageCode},
    {"UpdateServerAddr", &ConfigFields::UpdateServerAddr},
    {"LoginServer", nullptr},
    {"ForceUpdateVersion", &ConfigFields::ForceUpdate},
    {"ProductName", nullptr},
    {"PackageName", nullptr},
    {"WebAddr", nullptr},
};
constexpr std::size_t kPositionCount = std::size(kPositionalAttributes);

// Writes the file under a temporary name beside it and renames it over the
// original, so that a crash or a full disk never leaves a truncated file.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  std::error_code error;
  if (!out) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace

bool CXMLFile::Save(const std::string& path) {
  if (!root_) return false;
  std::string output = "<?xml version=\"1.0\"?>\n";

  // The root's leading attributes come from the declaration and are not
  // written back.
  CXMLElement* child = root_->GetFirstChild();
  while (child != nullptr && child->GetType() == CXMLElement::kAttribute) {
    child = root_->GetNextChild();
  }
  bool result = false;
  for (; child != nullptr; child = root_->GetNextChild()) {
    result = WriteElement(output, child);
  }

  if (!ReplaceFile(path, Base64Encode(output))) return false;
  return result;
}

bool CXMLFile::WriteElement(std::string& output, CXMLElement* element) {
  if (element == nullptr) return false;
  if (element->GetType() != CXMLElement::kElement) return true;  // text is not written
  const std::string name = element->GetName() != nullptr ? element->GetName() : "";

  output += "<" + name;
  CXMLElement* child = element->GetFirstChild();
  for (std::size_t k = 0; child != nullptr && child->GetType() == CXMLElement::kAttribute;
       ++k, child = element->GetNextChild()) {
    const char* ownName = child->GetName() != nullptr ? child->GetName() : "";
    const char* ownValue = child->GetValue() != nullptr ? child->GetValue() : "";
    // Past the known positions an attribute keeps its own name.
    const PositionalAttribute* position = k < kPositionCount ? &kPositionalAttributes[k] : nullptr;
    const std::string attributeName = position != nullptr ? position->name : ownName;
    const std::string value =
        position != nullptr && position->field != nullptr ? config.*(position->field) : ownValue;
    output += " " + attributeName + "=\"" + value + "\" ";
  }
  output += ">\n";
  for (; child != nullptr; child = element->GetNextChild()) {
    WriteElement(output, child);
  }
  output += "</" + name + ">\n";
  return true;
}
