#pragma once
// The publisher's minisign secret key, for signing the server document.
#include <filesystem>
#include <optional>
#include <string>

#include "trust/secret_key.h"

// Reads the key file; an encrypted key's password is asked for (see
// ReadPassword). False with the reason when the file cannot be read or is
// not a usable key, or the password is missing or wrong.
bool LoadPublisherKey(const std::filesystem::path& path, std::optional<SecretKey>& key, std::string& error);
