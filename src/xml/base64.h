#pragma once
// The stored form of the launcher's documents: standard Base64 (alphabet
// A-Z a-z 0-9 + /, "=" padding), written on one line without line breaks.
#include <optional>
#include <string>

// Encodes bytes three at a time into four characters, padding the last group.
std::string Base64Encode(const std::string& bytes);

// Decodes Base64 text. Line breaks and blanks between the characters are
// ignored (the "base64" tool wraps at 76 columns, editors add a final line
// break); anything else must be Base64: alphabet characters in groups of
// four, the last group padded with at most two "=". Nothing for other text.
std::optional<std::string> Base64Decode(const std::string& text);
