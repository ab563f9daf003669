#include "external_program.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

fs::path FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  const char separator = fs::path::preferred_separator == '\\' ? ';' : ':';
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, separator)) {
    for (const std::string& name : {program, program + ".exe"}) {
      std::error_code ignored;
      const fs::path candidate = fs::path(folder.empty() ? "." : folder) / name;
      if (fs::is_regular_file(candidate, ignored)) return candidate;
    }
  }
  return {};
}

std::string ShellArgument(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int RunCapturingOutput(const std::string& command, std::string& output) {
  const fs::path captured =
      fs::temp_directory_path() / ("farpublish-" + std::to_string(std::random_device{}()) + ".out");
  const int status = std::system((command + " >" + ShellArgument(captured.string()) + " 2>&1 </dev/null").c_str());
  std::ifstream said(captured, std::ios::binary);
  output.assign(std::istreambuf_iterator<char>(said), std::istreambuf_iterator<char>());
  said.close();
  std::error_code ignored;
  fs::remove(captured, ignored);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return status;
}
