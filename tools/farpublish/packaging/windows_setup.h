#pragma once
// "farpublish installer": a Windows setup program for a new player, made by
// NSIS (makensis) from the Windows launcher, the updatecfg.xml that
// "farpublish build --game-files DIR" writes and the publisher's key.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "packaging/code_signing.h"

struct InstallerOptions {
  std::filesystem::path launcher;
  std::filesystem::path gameFiles;  // holds updatecfg.xml
  std::string product;
  std::filesystem::path out;
  std::optional<std::filesystem::path> publisherKey;  // minisign's .pub file
  std::optional<CodeSigningIdentity> signing;         // signs the launcher and the setup
  bool linuxTarball = false;  // a tarball of the Linux launcher instead (linux_setup.h)
};

// Reads the arguments that follow "installer". False with the reason for a
// usage error.
bool ParseInstallerOptions(const std::vector<std::string>& args, InstallerOptions& options, std::string& error);

// The updatecfg.xml in `gameFiles`; false, saying where it comes from, when
// there is none.
bool FindGameDocument(const std::filesystem::path& gameFiles, std::filesystem::path& document, std::string& error);

// Writes the setup program to options.out, and says so on `out`; the reason
// it stops on `err`, options.out then untouched.
bool MakeInstaller(const InstallerOptions& options, std::ostream& out, std::ostream& err);
