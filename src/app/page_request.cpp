#include "app/page_request.h"

#include "base/text/ox_split_string.h"

namespace {

constexpr std::size_t kLaunchRecordFields = 13;
constexpr std::size_t kIpField = 5;
constexpr std::size_t kPortField = 6;

// A request counts only when its marker occurs after the first character.
bool HasRequest(const std::string& text, const char* marker) {
  const std::size_t at = text.find(marker);
  return at != std::string::npos && at > 0;
}

// The text between the first `open` and the first `close` of the whole
// text; empty when either is missing or they are out of order.
std::string Enclosed(const std::string& text, const char* open, const char* close) {
  const std::size_t start = text.find(open);
  const std::size_t end = text.find(close);
  if (start == std::string::npos || end == std::string::npos) {
    return std::string();
  }
  const std::size_t begin = start + std::char_traits<char>::length(open);
  return end > begin ? text.substr(begin, end - begin) : std::string();
}

}  // namespace

PageRequest ReadPageRequest(const std::string& pageText, bool updateFinished) {
  PageRequest request;
  if (HasRequest(pageText, "ServerBackUrl") && !updateFinished) {
    request.kind = PageRequest::Kind::BackAddress;
    request.address = Enclosed(pageText, "{{", "}}");
    return request;
  }
  if (!HasRequest(pageText, "RunClient")) {
    return request;
  }
  const std::string record = Enclosed(pageText, "[[", "]]");
  if (record.empty()) {
    return request;
  }
  ox_base::SplitString(record, ";", request.fields, false);
  if (request.fields.size() < kLaunchRecordFields) {
    request.kind = PageRequest::Kind::TooFewFields;
  } else if (!request.fields[kIpField].empty() && !request.fields[kPortField].empty()) {
    request.kind = PageRequest::Kind::Launch;
  }
  return request;
}
