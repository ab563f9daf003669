#pragma once
// The keyed values a document holds: what ReadConfig extracts from the
// local version document and the server document, and what Save writes back.
// Every value is a byte string in the system code page, kept as found.
#include <array>
#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// One GameVersion element of a document.
struct VersionEntry {
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::string ProductName;
  std::string UpdateVersion;
  // File items, one per Type value.
  StringList Type;
  StringList TargetFileName;
  StringList SourceFileAddr;
  // Server list.
  StringList AreaName;
  StringList ServerName;
  StringList IP;
  StringList Port;
  StringList AreaType;
  StringList tx_ip;
  StringList tx_ip2;
  StringList tx_dir;
  StringList tx_port;
  StringList DumpRecovery;
};

// A single key keeps the last value found; a list key keeps every value in
// document order.
struct ConfigFields {
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::string ProductName;
  std::string UpdateVersion;
  std::string UpdateServerAddr;
  std::string WebAddr;
  std::string WebAddr1;
  std::string LoginServer = "0";
  std::string PackageName;
  // Read under the key "ForceUpdate"; Save writes it as "ForceUpdateVersion".
  std::string ForceUpdate;
  std::string UpdateBlockAddr;
  std::string UpdateDllAddr;
  std::string DumpFtpServer;
  std::string DumpFtpServerPort;
  std::string MiniType;
  std::string MiniTargetFileName;
  std::string MiniSourceFileAddr;

  StringList Type;
  StringList TargetFileName;
  StringList SourceFileAddr;
  StringList AreaName;
  StringList ServerName;
  StringList IP;
  StringList Port;
  StringList AreaType;
  StringList DumpRecovery;
  StringList tx_ip;
  StringList tx_ip2;
  StringList tx_dir;
  StringList tx_port;

  // Every GameVersion element closed by "</GameVersion>", in document order.
  std::vector<VersionEntry> entries;
};

struct SingleKey {
  const char* name;
  std::string ConfigFields::*field;
  // The version entry's field of the same name; null for document-only keys.
  std::string VersionEntry::*entryField;
};

struct ListKey {
  const char* name;
  StringList ConfigFields::*list;
  StringList VersionEntry::*entryList;
};

// The keys in the order publishers know them from the documents' table.
extern const std::array<SingleKey, 19> kSingleKeys;
extern const std::array<ListKey, 13> kListKeys;
