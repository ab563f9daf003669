#include "base/files/ox_letter_case.h"

namespace ox_base {

std::string FoldLetterCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

}  // namespace ox_base
