#include "base/diagnostics/ox_process_facts.h"

#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace ox_base {

std::string CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  while (!raw.empty() && raw.back() == '\0') raw.pop_back();
  for (char& c : raw) {
    if (c == '\0') c = ' ';
  }
  return raw;
}

std::string ExecutablePath() {
  char path[4096];
  ssize_t length = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

std::string ComputerName() {
  char name[kNameMax + 1] = {};
  if (::gethostname(name, kNameMax) != 0) return std::string();
  return name;
}

std::string UserName() {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof(buffer), &found) != 0 || !found) return std::string();
  return std::string(found->pw_name).substr(0, kNameMax);
}

}  // namespace ox_base
