#include "frontends/posix/program_start.h"

#include <locale.h>

#include <fstream>
#include <vector>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/files/ox_path.h"
#include "base/text/ox_unicode.h"
#include "frontends/posix/spawn.h"

namespace frontends::posix {
namespace {

bool IsWindowsExecutable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  return file.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

template <typename... Args>
void LogError(const char* format, Args... args) {
  if (ox_base::SmartPtr<ox_base::OxLog> log = ox_base::OxBase::GetBaseLog()) log->Error(format, args...);
}

// The locale whose ANSI code page wine takes to be `codePage`; empty when
// there is none to choose (wine then keeps the user's).
std::string WineLocale(unsigned codePage) { return codePage == 936 ? "zh_CN.UTF-8" : ""; }

bool LocaleInstalled(const std::string& name) {
  const locale_t locale = ::newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return false;
  ::freelocale(locale);
  return true;
}

}  // namespace

std::vector<std::string> WineArguments(const std::string& parameters, bool& exact) {
  std::vector<std::string> pieces;
  exact = parameters.find_first_of("\t\"") == std::string::npos;
  size_t start = 0;
  while (start <= parameters.size()) {
    size_t end = parameters.find(' ', start);
    if (end == std::string::npos) end = parameters.size();
    // An empty piece (a run of blanks, a blank at an end) wine would write
    // as "": it is left out, and the string then differs.
    if (end > start) {
      pieces.push_back(parameters.substr(start, end - start));
    } else if (!parameters.empty()) {
      exact = false;
    }
    start = end + 1;
  }
  return pieces;
}

bool StartGameProgram(const std::string& program, const std::string& parameters, unsigned codePage,
                      std::string& problem) {
  std::string path = ox_base::NativePath(program);
  if (path.empty()) {
    problem = "no program name";
    return false;
  }
  if (path.find('/') == std::string::npos) path = "./" + path;
  const std::string utf8 = ox_base::CodePageToUtf8(parameters, codePage);
  std::vector<std::string> argv{path};
  std::vector<std::string> environment;
  if (IsWindowsExecutable(path)) {
    std::string wine = FindOnPath("wine");
    if (wine.empty()) {
      problem = path + " is a Windows program and wine is not installed";
      return false;
    }
    argv.insert(argv.begin(), wine);
    bool exact = true;
    const std::vector<std::string> pieces = WineArguments(utf8, exact);
    argv.insert(argv.end(), pieces.begin(), pieces.end());
    if (!exact) {
      LogError("Starting %s: wine cannot pass its parameter string unchanged (runs of blanks, blanks at the ends, "
               "tabs or quotes): %s\n", path.c_str(), parameters.c_str());
    }
    const std::string locale = WineLocale(codePage);
    if (!locale.empty()) {
      environment.push_back("LC_ALL=" + locale);
      if (!LocaleInstalled(locale)) {
        LogError("Starting %s: the locale %s is not installed; text outside ASCII reaches it garbled\n", path.c_str(),
                 locale.c_str());
      }
    }
  } else if (!parameters.empty()) {
    argv.push_back(utf8);
  }
  if (!SpawnDetached(argv, environment)) {
    problem = path + " could not be started";
    return false;
  }
  return true;
}

}  // namespace frontends::posix
