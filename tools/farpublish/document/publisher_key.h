#pragma once
// The publisher's minisign keys: the secret one signs the server document,
// the public one checks a published site.
#include <filesystem>
#include <optional>
#include <string>

#include "trust/public_key.h"
#include "trust/secret_key.h"

// Reads the key file; an encrypted key's password is asked for (see
// ReadPassword). False with the reason when the file cannot be read or is
// not a usable key, or the password is missing or wrong.
bool LoadPublisherKey(const std::filesystem::path& path, std::optional<SecretKey>& key, std::string& error);

// Reads a public key file (minisign -G's .pub). False with the reason when
// it cannot be read or is no minisign public key.
bool LoadPublicKey(const std::filesystem::path& path, std::optional<PublicKey>& key, std::string& error);
