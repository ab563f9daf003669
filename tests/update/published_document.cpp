#include "update/published_document.h"

std::string ServerDocument::Text() const {
  std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<Update>\n";
  for (const ServerVersion& v : versions) {
    text += "<GameVersion MainVersion=\"" + v.MainVersion + "\" SubVersion=\"" + v.SubVersion + "\" FileVersion=\"" +
            v.FileVersion + "\" PackageCode=\"" + v.PackageCode + "\" ProductName=\"fog\" UpdateVersion=\"1\">\n";
    for (const ServerItem& item : v.items) {
      text += "<File Type=\"" + item.Type + "\" TargetFileName=\"" + item.TargetFileName + "\" SourceFileAddr=\"" +
              item.SourceFileAddr + "\"></File>\n";
    }
    text += "</GameVersion>\n";
  }
  text += "<Site";
  for (const auto& [key, value] : site) {
    text += " " + key + "=\"" + value + "\"";
  }
  text += "></Site>\n</Update>\n";
  return text;
}
