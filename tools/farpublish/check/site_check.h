#pragma once
// "farpublish check": a live site as a launcher sees it.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct CheckOptions {
  // The server document's address.
  std::string url;
  // The publisher's public key (minisign -G's .pub file).
  std::optional<std::filesystem::path> publicKey;
  // Check this many of the newest manifest's objects, picked at random;
  // none: all of them.
  std::optional<std::size_t> sample;
};

// Reads the arguments that follow "check": URL, "--key FILE" and
// "--sample N". False with the reason for a usage error.
bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error);

// Fetches the document with the launcher's own code, checks its signature
// when a key is given, fetches every item and the full package against
// their Sha256 and Size, unpacks every archive with the launcher's zip
// reader (a launcher item must start with farLaunch.exe), and checks that
// every listed version reaches the newest; fetches the newest manifest and
// its objects (or a sample of them). One line per problem goes to
// `report`, then a summary line. True when there was no problem. Works in
// a scratch folder it removes again.
bool CheckSite(const CheckOptions& options, std::ostream& report);
