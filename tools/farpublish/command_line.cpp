#include "command_line.h"

bool SplitCommandLine(const std::vector<std::string>& args, const std::set<std::string>& optionNames,
                      CommandLine& line, std::string& error, const std::set<std::string>& flagNames) {
  line = {};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      line.positional.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (flagNames.count(name) > 0) {
      if (equals != std::string::npos) {
        error = "option '" + name + "' takes no value";
        return false;
      }
      line.options.emplace_back(name, "");
      continue;
    }
    if (optionNames.count(name) == 0) {
      error = "unknown option '" + name + "'";
      return false;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = "option '" + name + "' needs a value";
      return false;
    }
    line.options.emplace_back(name, value);
  }
  return true;
}
