#include "update/site/signing_time_record.h"

#include <charconv>
#include <string>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "trust/sha256.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"

namespace {

constexpr char kAddressBound[] = "url";

bool ParseRecord(const std::string& text, SigningRecord& record) {
  if (text.empty() || text.back() != '\n') return false;
  const char* const end = text.data() + text.size() - 1;
  const auto [stop, error] = std::from_chars(text.data(), end, record.seconds);
  if (error != std::errc()) return false;
  std::string_view rest(stop, static_cast<std::size_t>(end - stop));
  if (rest.empty()) return true;
  if (rest.front() != ' ') return false;
  rest.remove_prefix(1);
  const std::optional<std::string> sha256 = ParseSha256Hex(rest.substr(0, rest.find(' ')));
  if (!sha256) return false;
  record.sha256 = *sha256;
  rest.remove_prefix(std::min(rest.size(), sha256->size()));
  if (rest.empty()) return true;
  record.addressBound = rest == std::string(" ") + kAddressBound;
  return record.addressBound;
}

}  // namespace

std::optional<SigningRecord> RecordedSigning() {
  if (!FileExists(kSigningTimeRecord)) return std::nullopt;
  std::string text;
  SigningRecord record;
  if (ReadGameFile(kSigningTimeRecord, text) && ParseRecord(text, record)) return record;
  LogFailure(kSigningTimeRecord, "", "not a signing time; older server documents are not refused this time");
  return std::nullopt;
}

bool RecordSigning(const SigningRecord& record) {
  std::string text = std::to_string(record.seconds);
  if (!record.sha256.empty()) text += " " + record.sha256;
  if (record.addressBound) text += std::string(" ") + kAddressBound;
  return ox_base::OxBase::GetFileSystem()->ReplaceContents(kSigningTimeRecord, text + "\n", false);
}
