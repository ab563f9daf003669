#pragma once
// Programs farpublish hands work to (rsync, osslsigncode, makensis): found
// on PATH and run through the shell.
#include <filesystem>
#include <string>

// Where the program is found on PATH; empty when it is not.
std::filesystem::path FindOnPath(const std::string& program);

// One argument for the shell std::system runs.
std::string ShellArgument(const std::string& text);

// Runs `command` through the shell, with no input; `output` gets what it
// printed on both streams, without its last line ending. Its exit status as
// std::system gives it: 0 when it succeeded.
int RunCapturingOutput(const std::string& command, std::string& output);
