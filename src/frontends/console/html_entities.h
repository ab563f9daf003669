#pragma once
// Character references of HTML text ("&amp;", "&#20013;", "&#x4E2D;").
#include <string>

namespace frontends::console {

// Decodes the reference that starts at text[pos] (an "&") and appends its
// UTF-8 form to `out`. Returns the position after the reference, or pos
// when there is no reference there (the caller then keeps the "&").
// "&nbsp;" becomes a plain space: the console shows it as one.
size_t DecodeCharacterReference(const std::string& text, size_t pos, std::string& out);

// Appends code point `cp` as UTF-8; anything that is not a character
// (surrogates, beyond U+10FFFF, U+0000) becomes U+FFFD.
void AppendUtf8(unsigned long cp, std::string& out);

}  // namespace frontends::console
