#include "packaging/code_signing.h"

#include <system_error>

#include "external_program.h"

namespace fs = std::filesystem;

const std::set<std::string> kCodeSigningOptions = {"--sign-cert", "--sign-key", "--timestamp-url"};

bool ReadCodeSigningOptions(const std::vector<std::pair<std::string, std::string>>& options,
                            CodeSigningIdentity& identity, bool& given, std::string& error) {
  for (const auto& [name, value] : options) {
    if (name == "--sign-cert") identity.certificate = value;
    if (name == "--sign-key") identity.key = value;
    if (name == "--timestamp-url") identity.timestampUrl = value;
  }
  given = !identity.certificate.empty() || !identity.key.empty() || !identity.timestampUrl.empty();
  if (given && (identity.certificate.empty() || identity.key.empty())) {
    error = "signing needs both --sign-cert CERT and --sign-key KEY";
    return false;
  }
  return true;
}

bool SignWindowsProgram(const fs::path& program, const CodeSigningIdentity& identity, std::string& error) {
  const fs::path osslsigncode = FindOnPath("osslsigncode");
  if (osslsigncode.empty()) {
    error = "osslsigncode is not installed (no osslsigncode on PATH): it is needed to sign " + program.string();
    return false;
  }
  std::error_code failure;
  if (!fs::is_regular_file(program, failure)) {
    error = "cannot sign " + program.string() + ": no such file";
    return false;
  }
  // Beside the program, so that the signed copy replaces it by a rename.
  const fs::path signedCopy = program.string() + ".signing";
  fs::remove(signedCopy, failure);
  std::string command = ShellArgument(osslsigncode.string()) + " sign -h sha256 -certs " +
                        ShellArgument(identity.certificate.string()) + " -key " + ShellArgument(identity.key.string());
  if (!identity.timestampUrl.empty()) command += " -ts " + ShellArgument(identity.timestampUrl);
  command += " -in " + ShellArgument(program.string()) + " -out " + ShellArgument(signedCopy.string());
  std::string words;
  const int status = RunCapturingOutput(command, words);
  if (status != 0 || !fs::is_regular_file(signedCopy, failure)) {
    fs::remove(signedCopy, failure);
    error = "osslsigncode could not sign " + program.string() + " (status " + std::to_string(status) + "): " + words;
    return false;
  }
  fs::rename(signedCopy, program, failure);
  if (failure) {
    fs::remove(signedCopy, failure);
    error = "cannot put the signed " + program.string() + " in place: " + failure.message();
    return false;
  }
  return true;
}
