#pragma once
// The text forms the trust files use: minisign's lines that end in "\n" or
// "\r\n" and its comment prefixes, standard Base64 that must decode to an
// exact number of bytes, and hex digits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view kUntrustedCommentPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedCommentPrefix = "trusted comment: ";

// minisign reads comment lines into fixed buffers of 1024 and 8192 bytes
// that must also hold the line end and a terminator: longer lines are not
// minisign's files.
constexpr std::size_t kUntrustedCommentLineMax = 1024 - 2;
constexpr std::size_t kTrustedCommentLineMax = 8192 - 2;

// The lines of `text`, without their line ends ("\n" or "\r\n"). The last
// line may lack its line end; an empty line is kept, so "a\n\n" is two lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// Decodes standard Base64 ("=" padding, no whitespace) that must give
// exactly `size` bytes into `out`. False for anything else, without reading
// or writing outside the two ranges.
bool DecodeBase64Exact(std::string_view text, std::uint8_t* out, std::size_t size);

std::string EncodeBase64(const std::uint8_t* bytes, std::size_t size);

// Two lower-case hex digits per byte.
std::string LowerHex(const std::uint8_t* bytes, std::size_t size);
