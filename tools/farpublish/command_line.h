#pragma once
// The arguments after a command's name: positional ones and options, each
// option given as "--name VALUE" or "--name=VALUE", or as "--name" alone
// for a flag.
#include <set>
#include <string>
#include <utility>
#include <vector>

struct CommandLine {
  std::vector<std::string> positional;
  // In the order given; a flag's value is empty.
  std::vector<std::pair<std::string, std::string>> options;
};

// False with the reason for an option in neither `optionNames` nor
// `flagNames`, an option without its value, or a flag with one.
bool SplitCommandLine(const std::vector<std::string>& args, const std::set<std::string>& optionNames,
                      CommandLine& line, std::string& error, const std::set<std::string>& flagNames = {});
