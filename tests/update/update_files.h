#pragma once
// The files an update works on, as tests make them: patch archives and the
// local version document.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Builds a zip archive (deflated) from stored name -> content pairs and
// returns its bytes. Names are stored as given, in the order given (a name
// may come twice).
std::string MakeOrderedZip(const std::vector<std::pair<std::string, std::string>>& entries);
std::string MakeZip(const std::map<std::string, std::string>& entries);

// The archive with a value recorded for entry `index` (in the order of the
// central directory) replaced in both of its headers, so that only the data
// disagrees: a wrong CRC-32, or a size no data backs.
enum class EntryField { Crc, UncompressedSize };
std::string WithEntryField(std::string zip, int index, EntryField field, std::uint32_t value);

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
