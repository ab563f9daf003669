#include "update/trust_files.h"

#include "base/ox_letter_case.h"
#include "update/signing_time_record.h"
#include "update/trust_anchor.h"

bool IsTrustFile(const std::string& name) {
  std::string last;
  std::size_t parts = 0;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    // Windows opens "publisher.pub. " as "publisher.pub".
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) {
      ++parts;
      last = ox_base::FoldLetterCase(part);
    }
    start = end + 1;
  }
  return parts == 1 && (last == ox_base::FoldLetterCase(kPublisherKeyFile) ||
                        last == ox_base::FoldLetterCase(kSigningTimeRecord));
}
