#include "frontends/posix/program_start.h"

#include <fstream>
#include <vector>

#include "base/ox_path.h"
#include "base/ox_unicode.h"
#include "frontends/posix/spawn.h"

namespace frontends::posix {
namespace {

bool IsWindowsExecutable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  return file.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

}  // namespace

bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem) {
  std::string path = ox_base::NativePath(ox_base::CodePageToUtf8(program, codePage));
  if (path.empty()) {
    problem = "no program name";
    return false;
  }
  if (path.find('/') == std::string::npos) path = "./" + path;
  std::vector<std::string> argv{path};
  if (IsWindowsExecutable(path)) {
    std::string wine = FindOnPath("wine");
    if (wine.empty()) {
      problem = path + " is a Windows program and wine is not installed";
      return false;
    }
    argv.insert(argv.begin(), wine);
  }
  if (!parameters.empty()) argv.push_back(ox_base::CodePageToUtf8(parameters, codePage));
  if (!SpawnDetached(argv)) {
    problem = path + " could not be started";
    return false;
  }
  return true;
}

}  // namespace frontends::posix
