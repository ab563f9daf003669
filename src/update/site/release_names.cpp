#include "update/site/release_names.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>

#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"

namespace {

bool IsEmpty(std::string_view part) { return part.empty(); }

// Windows opens the device for such a name whatever extension follows, and
// drops spaces before the extension.
bool IsReservedDevice(std::string_view part) {
  std::string stem(part.substr(0, part.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  stem = ox_base::FoldLetterCase(stem);
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
  const bool numbered = stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0);
  return numbered && stem[3] >= '1' && stem[3] <= '9';
}

bool EndsInDotOrSpace(std::string_view part) { return !part.empty() && (part.back() == '.' || part.back() == ' '); }

bool HoldsRefusedCharacter(std::string_view part) {
  return std::any_of(part.begin(), part.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::strchr(":*?\"<>|", c) != nullptr;
  });
}

struct PartRule {
  bool (*breaks)(std::string_view part);
  const char* why;
};

// The rules each folder and file name of a path must meet.
const PartRule kPartRules[] = {
    {IsEmpty, "holds an empty folder or file name"},
    {IsReservedDevice, "is a device name on Windows"},
    {EndsInDotOrSpace, "ends in a dot or a space, which Windows drops: another name for the same file"},
    {HoldsRefusedCharacter, "holds a character Windows refuses in names (:*?\"<>| or a control character)"},
};

// Why one of the parts of `name` is refused; empty when none is.
std::string PartProblem(const std::string& name) {
  std::size_t start = 0;
  while (true) {
    const std::size_t end = name.find('/', start);
    const std::string_view part = std::string_view(name).substr(start, end - start);
    for (const PartRule& rule : kPartRules) {
      if (rule.breaks(part)) return "\"" + std::string(part) + "\" " + rule.why;
    }
    if (end == std::string::npos) return "";
    start = end + 1;
  }
}

}  // namespace

std::vector<std::string> ReleaseNameProblems(const std::vector<std::string>& names) {
  std::vector<std::string> problems;
  // By their letter-case folded form: the files, and the folders above them.
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> folders;
  for (const std::string& name : names) {
    for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
      folders.emplace(ox_base::FoldLetterCase(name.substr(0, slash)), name.substr(0, slash));
    }
  }
  for (const std::string& name : names) {
    const std::string folded = ox_base::FoldLetterCase(name);
    std::string why;
    if (!ox_base::NameFromNative(name)) {
      why = "has no form in the launcher's code page (GBK)";
    } else if (const std::string part = PartProblem(name); !part.empty()) {
      why = part;
    } else if (const auto twin = files.find(folded); twin != files.end()) {
      why = "differs from " + twin->second + " only in letter case: one file on Windows";
    } else if (const auto folder = folders.find(folded); folder != folders.end()) {
      why = "differs from the folder " + folder->second + " only in letter case: one name on Windows";
    }
    files.emplace(folded, name);
    if (!why.empty()) problems.push_back(name + ": " + why);
  }
  return problems;
}
