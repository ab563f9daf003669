#pragma once
// What the console front end needs of the operating system, one file per
// platform (console_host_posix.cpp, console_host_win.cpp): the output's
// encoding, ending the process, starting programs and opening addresses.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "platform/seam.h"

namespace frontends::console {

// Makes `out` show UTF-8 text (a Windows console is switched to code page
// 65001) and tells whether it is an interactive terminal.
bool PrepareOutput(std::FILE* out);

// The system services; `beforeExit` runs first on the way out.
std::unique_ptr<platform::System> MakeSystem(std::function<void()> beforeExit);

// Starts a program of the game directory with its parameter string (both
// in `codePage`); false, with the reason in `problem`, when nothing starts.
bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem);

// Hands an address (UTF-8) to the user's browser where there is a desktop
// to show it on; true when there is none (the address was printed) or the
// browser was asked.
bool OpenAddress(const std::string& address);

}  // namespace frontends::console
