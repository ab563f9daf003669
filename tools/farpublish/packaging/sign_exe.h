#pragma once
// "farpublish sign-exe": signs a Windows program (a launcher, a setup) with
// the publisher's code-signing certificate.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "packaging/code_signing.h"

struct SignExeOptions {
  std::filesystem::path program;
  CodeSigningIdentity identity;
};

// Reads the arguments that follow "sign-exe": FILE, --sign-cert CERT,
// --sign-key KEY and --timestamp-url URL. False with the reason for a usage
// error.
bool ParseSignExeOptions(const std::vector<std::string>& args, SignExeOptions& options, std::string& error);

// Signs the program in place; says so on `out`, or why not on `err`.
bool SignExe(const SignExeOptions& options, std::ostream& out, std::ostream& err);
