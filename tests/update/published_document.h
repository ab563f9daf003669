#pragma once
// A server document as the publisher writes it, for the update site of a
// test (support/recording_http_server.h) to serve.
#include <map>
#include <string>
#include <utility>
#include <vector>

struct ServerItem {
  std::string Type;
  std::string TargetFileName;
  std::string SourceFileAddr;
  // More attributes of the item's element, after those (Sha256, Size ...).
  std::vector<std::pair<std::string, std::string>> more{};
};
struct ServerVersion {
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::vector<ServerItem> items;
};
struct ServerDocument {
  std::vector<ServerVersion> versions;
  // Site-wide attributes (WebAddr, UpdateBlockAddr, MiniSourceFileAddr ...).
  std::map<std::string, std::string> site;
  std::string Text() const;
};
