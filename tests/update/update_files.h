#pragma once
// The files an update works on, as tests make them: patch archives and the
// local version document.
#include <map>
#include <string>

// Builds a zip archive (deflated) from stored name -> content pairs and
// returns its bytes. Names are stored as given.
std::string MakeZip(const std::map<std::string, std::string>& entries);

// The stored (Base64) form of a local version document.
struct LocalVersion {
  std::string MainVersion = "1";
  std::string SubVersion = "0";
  std::string FileVersion = "10";
  std::string PackageCode = "0010";
  std::string UpdateServerAddr;
  std::string LoginServer = "7";
};
std::string StoredVersionDocument(const LocalVersion& version);

// Decodes updatecfg.xml of the current directory to its XML text.
std::string ReadVersionDocument();
