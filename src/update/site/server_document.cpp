#include <algorithm>
#include <cstddef>

#include "update/site/executable_format.h"
#include "update/site/update_documents.h"

namespace {

constexpr char kLauncherItemType[] = "farLaunch";

template <typename Value>
Value At(const std::vector<Value>& list, std::size_t index) {
  return index < list.size() ? list[index] : Value();
}

// The items as the entry's Type, TargetFileName and SourceFileAddr lists
// give them.
std::vector<UpdateFileItem> ItemsOf(const VersionEntry& entry) {
  std::vector<UpdateFileItem> items;
  for (std::size_t i = 0; i < entry.Type.size(); ++i) {
    items.push_back(
        {entry.Type[i], At(entry.TargetFileName, i), At(entry.SourceFileAddr, i), At(entry.SourceFileChecks, i)});
  }
  return items;
}

// A Launcher element as the item that installs it, named by the last part
// of its address.
UpdateFileItem LauncherItem(const LauncherLink& launcher) {
  FileCheck check;
  if (!launcher.Digest.empty()) check.Sha256 = launcher.Digest;
  if (!launcher.Bytes.empty()) check.Size = launcher.Bytes;
  return {kLauncherItemType, launcher.Href.substr(launcher.Href.rfind('/') + 1), launcher.Href, check};
}

}  // namespace

std::vector<UpdateFileItem> FileItems(const VersionEntry& entry) {
  std::vector<UpdateFileItem> items;
  const bool launchersPerPlatform = !entry.Launchers.empty();
  for (const UpdateFileItem& item : ItemsOf(entry)) {
    if (!launchersPerPlatform || item.Type != kLauncherItemType) items.push_back(item);
  }
  for (const LauncherLink& launcher : entry.Launchers) {
    if (launcher.Platform == PlatformName(OwnExecutableFormat())) items.push_back(LauncherItem(launcher));
  }
  return items;
}

std::vector<UpdateFileItem> EveryFileItem(const VersionEntry& entry) {
  std::vector<UpdateFileItem> items = ItemsOf(entry);
  for (const LauncherLink& launcher : entry.Launchers) {
    if (std::none_of(items.begin(), items.end(),
                     [&](const UpdateFileItem& item) { return item.SourceFileAddr == launcher.Href; })) {
      items.push_back(LauncherItem(launcher));
    }
  }
  return items;
}

std::vector<ServerEntry> ServerEntries(const VersionEntry& entry) {
  const StringList* lists[] = {&entry.AreaName, &entry.ServerName, &entry.IP, &entry.Port,
                               &entry.AreaType, &entry.DumpRecovery, &entry.tx_ip,
                               &entry.tx_ip2, &entry.tx_dir, &entry.tx_port};
  std::size_t count = 0;
  for (const StringList* list : lists) count = std::max(count, list->size());
  std::vector<ServerEntry> servers;
  for (std::size_t i = 0; i < count; ++i) {
    servers.push_back({At(entry.AreaName, i), At(entry.ServerName, i), At(entry.IP, i),
                       At(entry.Port, i), At(entry.AreaType, i), At(entry.DumpRecovery, i),
                       At(entry.tx_ip, i), At(entry.tx_ip2, i), At(entry.tx_dir, i),
                       At(entry.tx_port, i)});
  }
  return servers;
}

ServerConfig ServerConfigOf(const CXMLFile& document) {
  const ConfigFields& fields = document.config;
  ServerConfig server;
  server.entries = fields.entries;
  server.WebAddr = fields.WebAddr;
  server.WebAddr1 = fields.WebAddr1;
  server.DumpFtpServer = fields.DumpFtpServer;
  server.DumpFtpServerPort = fields.DumpFtpServerPort;
  server.UpdateBlockAddr = fields.UpdateBlockAddr;
  server.MiniType = fields.MiniType;
  server.MiniTargetFileName = fields.MiniTargetFileName;
  server.MiniSourceFileAddr = fields.MiniSourceFileAddr;
  server.MiniSourceFileCheck = fields.MiniSourceFileCheck;
  return server;
}

bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason) {
  CXMLFile document;
  // The dialect's tree does not load every document publishers write (item
  // elements closed by "/>" are common): the flat scan reads them as it
  // always did. Only an answer without one of the document's keys (a
  // captive portal's or a proxy's page, an empty answer) is no server
  // document: the fetch is tried again.
  document.LoadText(text, raw);
  if (document.ReadConfig() == 0) {
    reason = "the answer holds none of the server document's keys";
    return false;
  }
  server = ServerConfigOf(document);
  return true;
}

bool IsNewerPackage(const std::string& code, const std::string& installed) {
  // std::string compares through char_traits<char>, which orders bytes as
  // unsigned characters, a prefix first.
  return installed.compare(code) < 0;
}

bool IsArchiveItem(const UpdateFileItem& item) { return item.Type == "normal" || item.Type == "farLaunch"; }

bool IsUntypedItem(const UpdateFileItem& item) { return !IsArchiveItem(item) && item.Type != "package"; }
