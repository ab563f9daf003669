#include "publisher_key.h"

#include <fstream>
#include <iterator>

#include "password_prompt.h"

bool LoadPublisherKey(const std::filesystem::path& path, std::optional<SecretKey>& key, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  if (!in || std::filesystem::is_directory(path)) {
    error = "cannot read the secret key " + path.string();
    return false;
  }
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
