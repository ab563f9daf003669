#pragma once
// Starting a program of the game directory, for both front ends.
#include <string>

namespace frontends::posix {

// Starts `program` (a Windows-form name such as ".\client.exe"; a bare name
// means the file in the current directory, never one found on PATH) in the
// current directory without waiting for it. Names and the parameter string
// arrive in `codePage` and are handed over in UTF-8, the encoding of Linux
// command lines; the parameter string is one argument (none when empty).
// A Windows program (a file starting with "MZ") runs through wine when it
// is installed. False when nothing could be started; `problem` then says why.
bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem);

}  // namespace frontends::posix
