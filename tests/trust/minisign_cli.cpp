#include "trust/minisign_cli.h"

#include <sys/wait.h>

#include <cstdio>

ShellRun RunShell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

namespace {

// minisign reads a password as one line of standard input; without one it
// must not wait for input.
std::string PasswordInput(const std::optional<std::string>& password, int times) {
  if (!password) return " </dev/null";
  std::string lines;
  for (int i = 0; i < times; ++i) lines += *password + "\n";
  return " <<< " + ShellQuoted(lines);
}

std::string Minisign() { return ShellQuoted(MINISIGN_PATH); }

}  // namespace

MinisignKeys MinisignGenerate(const std::filesystem::path& dir, const std::string& name,
                              const std::optional<std::string>& password) {
  const MinisignKeys keys{(dir / (name + ".pub")).string(), (dir / (name + ".key")).string()};
  RunShell("bash -c " + ShellQuoted(Minisign() + " -G -f" + (password ? "" : " -W") + " -p " +
                                    ShellQuoted(keys.publicKey) + " -s " + ShellQuoted(keys.secretKey) +
                                    PasswordInput(password, 2) + " >/dev/null 2>&1"));
  return keys;
}

bool MinisignSign(const MinisignKeys& keys, const std::string& document, const std::string& signature,
                  const MinisignSignOptions& options) {
  std::string command = Minisign() + " -S -s " + ShellQuoted(keys.secretKey) + " -m " + ShellQuoted(document) +
                        " -x " + ShellQuoted(signature);
  if (options.legacy) command += " -l";
  if (options.trustedComment) command += " -t " + ShellQuoted(*options.trustedComment);
  command += PasswordInput(options.password, 1) + " >/dev/null 2>&1";
  return RunShell("bash -c " + ShellQuoted(command)).status == 0;
}

ShellRun MinisignVerify(const std::string& publicKey, const std::string& document, const std::string& signature) {
  return RunShell(Minisign() + " -V -p " + ShellQuoted(publicKey) + " -m " + ShellQuoted(document) + " -x " +
                  ShellQuoted(signature) + " 2>&1");
}
