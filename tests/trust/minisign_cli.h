#pragma once
// The real minisign, run by tests to make keys and signatures and to check
// ours; and the shell runner it uses.
#include <filesystem>
#include <optional>
#include <string>

struct ShellRun {
  int status;       // exit status; -1 when the command did not exit normally
  std::string out;  // standard output
};

// Runs `command` with /bin/sh.
ShellRun RunShell(const std::string& command);

// Paths of a key pair's files.
struct MinisignKeys {
  std::string publicKey;
  std::string secretKey;
};

// minisign -G: `name`.pub and `name`.key in `dir`; encrypted with `password`
// when one is given (fed on standard input, as minisign reads it there).
MinisignKeys MinisignGenerate(const std::filesystem::path& dir, const std::string& name,
                              const std::optional<std::string>& password = std::nullopt);

struct MinisignSignOptions {
  bool legacy = false;                        // -l: "Ed" over the document itself
  std::optional<std::string> trustedComment;  // -t instead of minisign's own
  std::optional<std::string> password;        // for an encrypted key
};

// minisign -S: writes `signature` for `document`; false when minisign failed.
bool MinisignSign(const MinisignKeys& keys, const std::string& document, const std::string& signature,
                  const MinisignSignOptions& options = {});

// minisign -V: its exit status and what it printed.
ShellRun MinisignVerify(const std::string& publicKey, const std::string& document, const std::string& signature);

// A path or word quoted for the shell.
std::string ShellQuoted(const std::string& text);
