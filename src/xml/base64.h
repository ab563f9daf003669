#pragma once
// The stored form of the launcher's documents: standard Base64 (alphabet
// A-Z a-z 0-9 + /, "=" padding) on one line, without line breaks.
#include <string>

// Encodes bytes three at a time into four characters, padding the last group.
std::string Base64Encode(const std::string& bytes);

// Decodes text whose length is a multiple of four (anything else yields no
// bytes). "=" counts as zero inside a group; a final "=" (and a second one
// before it) shortens the output by one byte each. Characters outside the
// alphabet are not detected and decode as zero bits.
std::string Base64Decode(const std::string& text);
