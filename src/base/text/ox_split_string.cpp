#include "base/text/ox_split_string.h"

namespace ox_base {

int SplitString(const std::string& text, const char* delimiters, std::vector<std::string>& out, bool skipEmpty) {
  int appended = 0;
  size_t position = 0;
  do {
    size_t end = text.find_first_of(delimiters, position);
    if (end == std::string::npos) end = text.size();
    if (end > position || !skipEmpty) {
      out.push_back(text.substr(position, end - position));
      ++appended;
    }
    position = end + 1;
  } while (position < text.size());
  return appended;
}

}  // namespace ox_base
