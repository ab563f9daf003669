#pragma once
// Authenticode signatures on Windows programs, made by osslsigncode with
// the publisher's code-signing certificate: Windows warns about unsigned
// downloads.
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct CodeSigningIdentity {
  std::filesystem::path certificate;  // PEM or DER, with its chain
  std::filesystem::path key;          // its private key, unencrypted
  std::string timestampUrl;           // an RFC 3161 time-stamping service; empty: none
};

// The options that name it, for the commands that sign.
extern const std::set<std::string> kCodeSigningOptions;

// Takes --sign-cert, --sign-key and --timestamp-url from `options`;
// `given` tells whether any was there. False with the reason when one
// comes without the other.
bool ReadCodeSigningOptions(const std::vector<std::pair<std::string, std::string>>& options,
                            CodeSigningIdentity& identity, bool& given, std::string& error);

// Signs `program` in place: osslsigncode writes the signed copy beside it,
// which then takes its place. False with the reason (osslsigncode's own
// words included) when it is not signed; the program is then unchanged.
bool SignWindowsProgram(const std::filesystem::path& program, const CodeSigningIdentity& identity, std::string& error);
