#include "manifest/mirror_list.h"

namespace {

constexpr char kSeparator = ';';

}  // namespace

std::string MirrorsValue(const std::vector<std::string>& mirrors) {
  std::string value;
  for (std::size_t i = 0; i < mirrors.size(); ++i) {
    if (i > 0) value += kSeparator;
    value += mirrors[i];
  }
  return value;
}

std::vector<std::string> MirrorsOf(const std::string& value) {
  std::vector<std::string> mirrors;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(kSeparator, start);
    if (end == std::string::npos) end = value.size();
    if (end > start) mirrors.push_back(value.substr(start, end - start));
    if (end > start && mirrors.back().back() != '/') mirrors.back() += '/';
    start = end + 1;
  }
  return mirrors;
}
