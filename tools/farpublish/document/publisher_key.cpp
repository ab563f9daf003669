#include "document/publisher_key.h"

#include <fstream>
#include <iterator>

#include "document/password_prompt.h"

namespace {

bool ReadKeyFile(const std::filesystem::path& path, const char* what, std::string& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), {});
  if (!in || std::filesystem::is_directory(path)) {
    error = std::string("cannot read the ") + what + " " + path.string();
    return false;
  }
  return true;
}

}  // namespace

bool LoadPublisherKey(const std::filesystem::path& path, std::optional<SecretKey>& key, std::string& error) {
  std::string text;
  if (!ReadKeyFile(path, "secret key", text, error)) return false;
  SecretKeyLoad load = ParseSecretKey(text, std::nullopt);
  if (load.problem == SecretKeyProblem::PasswordRequired) {
    const std::optional<std::string> password = ReadPassword("Password for " + path.string() + ": ");
    if (!password) {
      error = "no password for the encrypted secret key " + path.string();
      return false;
    }
    load = ParseSecretKey(text, password);
  }
  if (!load.key) {
    error = path.string() + ": " + load.reason;
    return false;
  }
  key = std::move(load.key);
  return true;
}

bool LoadPublicKey(const std::filesystem::path& path, std::optional<PublicKey>& key, std::string& error) {
  std::string text;
  if (!ReadKeyFile(path, "public key", text, error)) return false;
  TrustResult<PublicKey> parsed = ParsePublicKey(text);
  if (!parsed.value) {
    error = path.string() + ": " + parsed.error;
    return false;
  }
  key = std::move(parsed.value);
  return true;
}
