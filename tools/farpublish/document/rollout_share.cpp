#include "document/rollout_share.h"

#include <algorithm>

namespace {

constexpr char kRolloutAttribute[] = "Rollout";

}  // namespace

bool ParseRolloutShare(const std::string& text, std::optional<int>& share, std::string& error) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(text) > kWholeRollout) {
    error = "--rollout takes the share of players, in percent, from 0 to 100";
    return false;
  }
  share = std::stoi(text);
  return true;
}

void SetRolloutShare(DocumentAttributes& version, int share) {
  version.erase(std::remove_if(version.begin(), version.end(),
                               [](const auto& attribute) { return attribute.first == kRolloutAttribute; }),
                version.end());
  if (share < kWholeRollout) version.emplace_back(kRolloutAttribute, std::to_string(share));
}

bool WithRolloutShare(const std::string& text, int share, std::string& changed, std::string& error) {
  // As the build writes the entries: the element's name, then its attributes.
  const std::size_t start = text.rfind("<GameVersion ");
  const std::size_t end = start == std::string::npos ? start : text.find('>', start);
  if (end == std::string::npos) {
    error = std::string(kServerDocumentName) + " lists no version entry to set the rollout share on";
    return false;
  }
  std::string tag = text.substr(start, end - start);
  const std::string attribute = std::string(" ") + kRolloutAttribute + "=\"";
  const std::size_t at = tag.find(attribute);
  if (at != std::string::npos) tag.erase(at, tag.find('"', at + attribute.size()) + 1 - at);
  if (share < kWholeRollout) tag += attribute + std::to_string(share) + "\"";
  changed = text.substr(0, start) + tag + text.substr(end);
  return true;
}
