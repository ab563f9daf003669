#pragma once
// The name of a client build's folder: "<PackageCode>-<Main>.<Sub>.<File>",
// for example "0001-1.0.1".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct BuildVersion {
  // ASCII letters and digits only, so that it can stand in archive names
  // and addresses unchanged.
  std::string packageCode;
  std::uint32_t main = 0;
  std::uint32_t sub = 0;
  std::uint32_t file = 0;
};

// None unless the name has that form: a code of 1 to 64 ASCII letters or
// digits, and three version numbers of 1 to 9 decimal digits each.
std::optional<BuildVersion> ParseBuildFolderName(std::string_view name);

// True when a's Main.Sub.File is below b's (compared as numbers).
bool VersionIsLower(const BuildVersion& a, const BuildVersion& b);

// "1.0.1".
std::string VersionText(const BuildVersion& version);
