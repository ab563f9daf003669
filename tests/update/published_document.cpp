#include "update/published_document.h"

namespace {

std::string Attribute(const std::string& key, const std::string& value) { return " " + key + "=\"" + value + "\""; }

}  // namespace

std::string ServerDocument::Text() const {
  std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<Update>\n";
  for (const ServerVersion& v : versions) {
    text += "<GameVersion MainVersion=\"" + v.MainVersion + "\" SubVersion=\"" + v.SubVersion + "\" FileVersion=\"" +
            v.FileVersion + "\" PackageCode=\"" + v.PackageCode + "\" ProductName=\"fog\" UpdateVersion=\"1\">\n";
    for (const ServerItem& item : v.items) {
      text += "<File" + Attribute("Type", item.Type) + Attribute("TargetFileName", item.TargetFileName) +
              Attribute("SourceFileAddr", item.SourceFileAddr);
      for (const auto& [key, value] : item.more) text += Attribute(key, value);
      text += "></File>\n";
    }
    text += "</GameVersion>\n";
  }
  text += "<Site";
  for (const auto& [key, value] : site) text += Attribute(key, value);
  text += "></Site>\n</Update>\n";
  return text;
}
