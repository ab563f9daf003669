#pragma once
// The two documents that drive the update engine: the local version
// document "updatecfg.xml" (what is installed, where the server document
// lives) and the server document (the versions that can be installed, their
// files, and site-wide settings). Both are read by CXMLFile::ReadConfig.
#include <string>
#include <vector>

#include "xml/xml_config.h"
#include "xml/xml_file.h"

// The local version document, in the current directory.
constexpr const char kVersionDocumentName[] = "updatecfg.xml";

// What start-up takes from the local version document.
struct UpdateConfig {
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::string ProductName;
  std::string UpdateServerAddr;
  std::string PackageName;
  std::string WebAddr;
  std::string LoginServer;
};

// What the launcher takes from the server document.
struct ServerConfig {
  std::vector<VersionEntry> entries;
  std::string WebAddr;
  std::string WebAddr1;
  std::string DumpFtpServer;
  std::string DumpFtpServerPort;
  std::string UpdateBlockAddr;
  std::string MiniType;
  std::string MiniTargetFileName;
  std::string MiniSourceFileAddr;
  FileCheck MiniSourceFileCheck;
};

// One file of a version entry.
struct UpdateFileItem {
  std::string Type;  // "farLaunch", "package" or "normal" are acted on
  std::string TargetFileName;
  std::string SourceFileAddr;
  // What the file at SourceFileAddr must be; given on that address's element.
  FileCheck check;
};

// One server of a version entry's server list.
struct ServerEntry {
  std::string AreaName;
  std::string ServerName;
  std::string IP;
  std::string Port;
  std::string AreaType;
  std::string DumpRecovery;
  std::string tx_ip;
  std::string tx_ip2;
  std::string tx_dir;
  std::string tx_port;
};

// As many items as the entry has Type values; a shorter TargetFileName or
// SourceFileAddr list gives empty values. Each item's check is the one of
// its SourceFileAddr. An entry with Launcher elements carries each
// platform's launcher there: its "farLaunch" items are left to launchers
// that do not read them, and the Launcher element of this launcher's
// platform becomes a "farLaunch" item at the end (named by the last part
// of its address, checked by its Digest and Bytes).
std::vector<UpdateFileItem> FileItems(const VersionEntry& entry);

// Every file the entry names for launchers of any platform: its items,
// then a "farLaunch" item per Launcher element whose address no item has.
std::vector<UpdateFileItem> EveryFileItem(const VersionEntry& entry);

// As many servers as the longest of the entry's server lists; shorter lists
// give empty values.
std::vector<ServerEntry> ServerEntries(const VersionEntry& entry);

// Reads the local version document (stored form). False when it cannot be
// loaded; keys it lacks give empty values ("0" for LoginServer).
bool LoadUpdateConfig(const std::string& path, UpdateConfig& config);

// True when the document at `path` is plain XML with the document's keys:
// written by hand, not stored with "farcfg encode".
bool IsPlainVersionDocument(const std::string& path);

// The server document's values, from a document after Load and ReadConfig.
ServerConfig ServerConfigOf(const CXMLFile& document);

// Rewrites kVersionDocumentName with these values, each under its own
// attribute name, keeping the rest of the loaded document (CXMLFile::Save).
// False when it cannot be read or written; a failed write leaves the
// previous file in place.
bool SaveVersionDocument(const std::string& MainVersion, const std::string& SubVersion,
                         const std::string& FileVersion, const std::string& PackageCode,
                         const std::string& UpdateServerAddr, int ForceUpdateVersion);

// Reads a server document's text (stored form, or the plain XML when
// `raw`), whether its tree loads or not. False with the reason when it
// holds none of the document's keys; one without a version entry is read.
bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason);

// True when `code` sorts after `installed`, byte by byte as unsigned
// characters, a prefix first.
bool IsNewerPackage(const std::string& code, const std::string& installed);

// True for the item types whose download is an archive to unpack.
bool IsArchiveItem(const UpdateFileItem& item);
// True for the item types downloaded straight onto the game file they name.
bool IsUntypedItem(const UpdateFileItem& item);
