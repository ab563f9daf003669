#pragma once
// Starting a program of the game directory on Windows, for both front ends.
#include <string>

namespace frontends::windows_services {

// The command line a program is started with: its path in double quotes,
// then one blank and the parameter string as it is (none when empty), as
// the shell's "open" gives it, so that the program's lpCmdLine is the
// parameter string byte for byte.
std::wstring CommandLineOf(const std::wstring& program, const std::wstring& parameters);

// Starts `program` (a Windows-form name such as ".\client.exe"; a bare name
// means the file in the current directory, never one found on PATH) in the
// current directory, the game directory, without waiting for it. Names and
// the parameter string arrive in `codePage` and reach CreateProcessW in
// UTF-16. The new process inherits the standard handles only (a restarted
// launcher prints where this one did), never the lock or a download.
// False when nothing could be started; `problem` then says why.
bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem);

}  // namespace frontends::windows_services
