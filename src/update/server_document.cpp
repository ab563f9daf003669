#include <algorithm>
#include <cstddef>

#include "update/update_documents.h"

namespace {

template <typename Value>
Value At(const std::vector<Value>& list, std::size_t index) {
  return index < list.size() ? list[index] : Value();
}

}  // namespace

std::vector<UpdateFileItem> FileItems(const VersionEntry& entry) {
  std::vector<UpdateFileItem> items;
  for (std::size_t i = 0; i < entry.Type.size(); ++i) {
    items.push_back(
        {entry.Type[i], At(entry.TargetFileName, i), At(entry.SourceFileAddr, i), At(entry.SourceFileChecks, i)});
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
