#pragma once
// The file layout of an INI document, written so that it reads back the
// same: every item is written in a form the parser turns into that very
// item again.
#include <string>

namespace ox_base {

// The text of one item as OxIni::Enumerate reports it (kind, name, value,
// type): a section as "\n[name]\n" (so the file begins with an empty line),
// a key as "name = value\n", where a String value stands in double quotes,
// or as a bare word when quotes cannot hold it (an unquoted value may carry
// a "). Each "\n" there is `lineEnd`. False when no form reads back as the
// same name, type and value under the code page.
bool FormatIniItem(int kind, const char* name, const char* value, int type, unsigned codePage,
                   const std::string& lineEnd, std::string& text);

// The line end a file's text uses, so that a rewrite keeps it: "\r\n" when
// its first line ends so, else "\n".
std::string LineEndOf(const std::string& text);

}  // namespace ox_base
