#pragma once
// Asks for a secret key's password the way minisign does.
#include <optional>
#include <string>

// From the terminal without echo when standard input is one (the prompt goes
// to standard error); otherwise one line of standard input, so scripts can
// pipe it in. The line break is not part of the password. None when the
// input ends before a line.
std::optional<std::string> ReadPassword(const std::string& prompt);
