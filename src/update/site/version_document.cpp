#include "update/site/update_documents.h"

bool LoadUpdateConfig(const std::string& path, UpdateConfig& config) {
  CXMLFile document;
  if (!document.Load(path, false)) return false;
  document.ReadConfig();
  const ConfigFields& fields = document.config;
  config.MainVersion = fields.MainVersion;
  config.SubVersion = fields.SubVersion;
  config.FileVersion = fields.FileVersion;
  config.PackageCode = fields.PackageCode;
  config.ProductName = fields.ProductName;
  config.UpdateServerAddr = fields.UpdateServerAddr;
  config.PackageName = fields.PackageName;
  config.WebAddr = fields.WebAddr;
  config.LoginServer = fields.LoginServer;
  return true;
}

bool IsPlainVersionDocument(const std::string& path) {
  CXMLFile document;
  return document.Load(path, true) && document.ReadConfig() > 0;
}

bool SaveVersionDocument(const std::string& MainVersion, const std::string& SubVersion,
                         const std::string& FileVersion, const std::string& PackageCode,
                         const std::string& UpdateServerAddr, int ForceUpdateVersion) {
  // A document that fails to parse still saves the elements completed
  // before the failure; an unreadable one leaves no tree and saves nothing.
  CXMLFile document;
  document.Load(kVersionDocumentName, false);
  document.config.MainVersion = MainVersion;
  document.config.SubVersion = SubVersion;
  document.config.FileVersion = FileVersion;
  document.config.PackageCode = PackageCode;
  document.config.UpdateServerAddr = UpdateServerAddr;
  document.config.ForceUpdate = std::to_string(ForceUpdateVersion);
  return document.Save(kVersionDocumentName);
}
