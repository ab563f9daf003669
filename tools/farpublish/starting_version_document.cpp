#include "starting_version_document.h"

#include "server_document.h"
#include "xml/base64.h"

namespace {

std::string Attribute(const char* name, const std::string& value) { return std::string(name) + "=\"" + value + "\"  "; }

}  // namespace

std::string StartingVersionDocument(const BuildVersion& newest, const BuildOptions& options) {
  // The attributes in the order launchers write the document back.
  const std::string plain = "<?xml version=\"1.0\"?>\n<GameVersion " +
                            Attribute("MainVersion", std::to_string(newest.main)) +
                            Attribute("SubVersion", std::to_string(newest.sub)) +
                            Attribute("FileVersion", std::to_string(newest.file)) +
                            Attribute("PackageCode", newest.packageCode) +
                            Attribute("UpdateServerAddr", options.baseUrl + "/" + kServerDocumentName) +
                            Attribute("LoginServer", "0") + Attribute("ForceUpdateVersion", "0") +
                            Attribute("ProductName", options.product) + Attribute("PackageName", options.product) +
                            Attribute("WebAddr", options.webAddr) + ">\n</GameVersion>\n";
  return Base64Encode(plain);
}
