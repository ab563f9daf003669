#include "farcfg_output.h"

#include <cstdio>
#include <cstring>

#include "update/site/update_documents.h"

std::string EscapeBytes(const std::string& bytes) {
  std::string text;
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    if (byte == '\n') {
      text += "\\n";
    } else if (byte == '\r') {
      text += "\\r";
    } else if (byte == '\t') {
      text += "\\t";
    } else if (byte == '\\') {
      text += "\\\\";
    } else if (code < 0x20) {
      char hex[5];
      std::snprintf(hex, sizeof(hex), "\\x%02x", code);
      text += hex;
    } else {
      text += byte;
    }
  }
  return text;
}

namespace {

std::string Text(const char* bytes) { return EscapeBytes(bytes != nullptr ? bytes : ""); }

void PrintChildren(std::ostream& out, CXMLElement& parent, int depth) {
  const std::string indent(2 * depth, ' ');
  for (CXMLElement* node = parent.GetFirstChild(); node != nullptr; node = parent.GetNextChild()) {
    switch (node->GetType()) {
      case CXMLElement::kElement:
        out << indent << "E " << Text(node->GetName()) << "\n";
        PrintChildren(out, *node, depth + 1);
        break;
      case CXMLElement::kAttribute:
        out << indent << "A " << Text(node->GetName()) << "=" << Text(node->GetValue()) << "\n";
        break;
      default:
        out << indent << "T " << Text(node->GetName()) << "\n";
        break;
    }
  }
}

}  // namespace

void PrintTree(std::ostream& out, CXMLElement& root) { PrintChildren(out, root, 0); }

void PrintConfig(std::ostream& out, const ConfigFields& fields) {
  for (const SingleKey& key : kSingleKeys) {
    const std::string& value = fields.*(key.field);
    if (!value.empty() || std::strcmp(key.name, "LoginServer") == 0) {
      out << key.name << "=" << value << "\n";
    }
  }
  const FileCheck& package = fields.MiniSourceFileCheck;
  if (package.Sha256) out << "MiniSha256=" << *package.Sha256 << "\n";
  if (package.Size) out << "MiniSize=" << *package.Size << "\n";
  for (std::size_t n = 0; n < fields.entries.size(); ++n) {
    const VersionEntry& entry = fields.entries[n];
    out << "entry " << n << ": MainVersion=" << entry.MainVersion << " SubVersion=" << entry.SubVersion
        << " FileVersion=" << entry.FileVersion << " PackageCode=" << entry.PackageCode
        << " ProductName=" << entry.ProductName << " UpdateVersion=" << entry.UpdateVersion << "\n";
    const std::vector<UpdateFileItem> items = FileItems(entry);
    for (std::size_t j = 0; j < items.size(); ++j) {
      out << "  item " << j << ": Type=" << items[j].Type << " TargetFileName=" << items[j].TargetFileName
          << " SourceFileAddr=" << items[j].SourceFileAddr;
      if (items[j].check.Sha256) out << " Sha256=" << *items[j].check.Sha256;
      if (items[j].check.Size) out << " Size=" << *items[j].check.Size;
      out << "\n";
    }
  }
}
