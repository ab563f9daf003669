#include "update/site/trust_files.h"

#include <algorithm>

#include "base/files/ox_letter_case.h"
#include "update/site/signing_time_record.h"
#include "update/site/trust_anchor.h"

bool IsTrustFile(const std::string& name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    // Windows opens "publisher.pub::$DATA" (a stream of the file) and
    // "publisher.pub. " as "publisher.pub".
    part.resize(std::min(part.size(), part.find(':')));
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    // The first part is what the target takes in the game directory: the
    // file itself, or a folder of its name that would stand in its way.
    if (!part.empty()) {
      const std::string folded = ox_base::FoldLetterCase(part);
      return folded == ox_base::FoldLetterCase(kPublisherKeyFile) ||
             folded == ox_base::FoldLetterCase(kSigningTimeRecord);
    }
    start = end + 1;
  }
  return false;
}
