#pragma once
// The arguments after a command's name: positional ones and options, each
// option given as "--name VALUE" or "--name=VALUE".
#include <set>
#include <string>
#include <utility>
#include <vector>

struct CommandLine {
  std::vector<std::string> positional;
  // In the order given.
  std::vector<std::pair<std::string, std::string>> options;
};

// False with the reason for an option not in `optionNames` or one without
// its value.
bool SplitCommandLine(const std::vector<std::string>& args, const std::set<std::string>& optionNames,
                      CommandLine& line, std::string& error);
