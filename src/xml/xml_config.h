#pragma once
// The keyed values a document holds: what ReadConfig extracts from the
// local version document and the server document, and what Save writes back.
// Every value is a byte string in the system code page, kept as found.
#include <array>
#include <optional>
#include <string>
#include <vector>

using StringList = std::vector<std::string>;

// The hash and size a document gives for one download, read from the
// element that holds its address: Sha256 and Size beside a SourceFileAddr,
// MiniSha256 and MiniSize beside the MiniSourceFileAddr. An attribute the
// element lacks has no value; one it has keeps its text as found.
struct FileCheck {
  std::optional<std::string> Sha256;
  std::optional<std::string> Size;
};

// The release manifest a version entry names: the attributes of its
// Manifest element, as found. Their names are none of the keys above, so
// launchers that do not know the element read the entry as before.
struct ManifestLink {
  std::string Format;
  std::string Href;
  std::string Digest;
  std::string Bytes;
  // Folders holding a copy of the site, ";" between them (may be empty).
  std::string Mirrors;
};

// A launcher for one platform that a version entry carries: the attributes
// of a Launcher element, as found. As with the Manifest element, none of
// the names is a key, so launchers that do not know the element read the
// entry as before (and take its "farLaunch" item, if any).
struct LauncherLink {
  std::string Platform;
  std::string Href;
  std::string Digest;
  std::string Bytes;
};

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
  // The check of each SourceFileAddr value, by its position in that list;
  // shorter when the last addresses' elements give none.
  std::vector<FileCheck> SourceFileChecks;
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
  // From the entry's last Manifest element; none without one.
  std::optional<ManifestLink> Manifest;
  // The entry's Launcher elements, in document order.
  std::vector<LauncherLink> Launchers;
  // The Rollout attribute of the GameVersion element, as found: the share
  // of players (percent) offered the entry while it is the newest. None
  // without one. Its name is none of the keys, so launchers that do not
  // know it read the entry as before.
  std::optional<std::string> Rollout;
};

// The document's fields: every key a version entry has, holding the last
// value of each single key and every value of each list key across the
// whole document, and the site-wide keys. A single key keeps the last value
// found; a list key keeps every value in document order.
struct ConfigFields : VersionEntry {
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
  // From the element of the MiniSourceFileAddr in force.
  FileCheck MiniSourceFileCheck;

  // Every GameVersion element closed by "</GameVersion>", in document order.
  std::vector<VersionEntry> entries;
};

struct SingleKey {
  const char* name;
  std::string ConfigFields::*field;
  // The version entry's field of the same name; null for document-only keys.
  std::string VersionEntry::*entryField;
};

// A list key fills the list of that name in the document and in the
// current version entry alike.
struct ListKey {
  const char* name;
  StringList VersionEntry::*list;
};

// The keys in the order publishers know them from the documents' table.
extern const std::array<SingleKey, 19> kSingleKeys;
extern const std::array<ListKey, 13> kListKeys;
