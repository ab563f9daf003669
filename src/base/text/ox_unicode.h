#pragma once
// Text conversion between the launcher's ANSI code page and UTF-8.
// Internal strings are code-page bytes; only the edges (toolkit, console,
// web engine) convert, and they all go through this pair.
#include <optional>
#include <string>

namespace ox_base {

// The launcher's ANSI code page, GBK: the code page of the game's files, of
// the launcher's own texts and of every text crossing the platform seam; the
// base state's code page unless its configuration names another.
constexpr unsigned kLauncherCodePage = 936;

// Converts code-page bytes (936 = GBK, 65001 = UTF-8, others as CPnnn) to
// UTF-8. Bytes that do not form a character become "?".
std::string CodePageToUtf8(const std::string& bytes, unsigned codePage);

// Converts UTF-8 text to code-page bytes. Characters the code page lacks
// become "?".
std::string Utf8ToCodePage(const std::string& utf8, unsigned codePage);

// The exact conversions, for names: nothing when a byte sequence is not a
// character of its encoding or a character has no form in the other.
std::optional<std::string> CodePageToUtf8Exact(const std::string& bytes, unsigned codePage);
std::optional<std::string> Utf8ToCodePageExact(const std::string& utf8, unsigned codePage);

// Byte searches. A null text given to the first two is a failed assertion.
// The last occurrence of c, or null (also for an empty text).
const char* StrFindLastChar(const char* pStr, char c);
// The last byte that is one of set, or null.
const char* StrFindLastOf(const char* pStr, const char* set);
// Index of the first occurrence of c, or -1 (also for a null text).
int StrIndexOf(const char* pStr, char c);

}  // namespace ox_base
