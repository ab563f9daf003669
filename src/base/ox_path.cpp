#include "base/ox_path.h"

namespace ox_base {

std::string NativePath(const std::string& name) {
  std::string path = name;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

}  // namespace ox_base
