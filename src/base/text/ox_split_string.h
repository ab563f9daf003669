#pragma once
#include <string>
#include <vector>

namespace ox_base {

// Appends the pieces of text between any of the delimiter bytes to out
// (keeping what out holds); empty pieces are left out with skipEmpty. A
// trailing delimiter gives no trailing empty piece; an empty text gives one
// empty piece. Returns the number of pieces appended.
int SplitString(const std::string& text, const char* delimiters, std::vector<std::string>& out, bool skipEmpty);

}  // namespace ox_base
