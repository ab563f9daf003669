#include "packaging/sign_exe.h"

#include "command_line.h"

bool ParseSignExeOptions(const std::vector<std::string>& args, SignExeOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, kCodeSigningOptions, line, error)) return false;
  bool given = false;
  if (!ReadCodeSigningOptions(line.options, options.identity, given, error)) return false;
  if (line.positional.size() != 1) {
    error = "sign-exe takes FILE, the Windows program to sign";
    return false;
  }
  if (!given) {
    error = "sign-exe needs --sign-cert CERT and --sign-key KEY";
    return false;
  }
  options.program = line.positional[0];
  return true;
}

bool SignExe(const SignExeOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  if (!SignWindowsProgram(options.program, options.identity, error)) {
    err << "farpublish: " << error << "\n";
    return false;
  }
  out << "signed " << options.program.string() << "\n";
  return true;
}
