#include "update/signing_time_record.h"

#include <charconv>
#include <string>

#include "base/ox_base.h"
#include "base/ox_file.h"
#include "update/failure_log.h"
#include "update/game_files.h"

std::optional<std::uint64_t> RecordedSigningTime() {
  if (!FileExists(kSigningTimeRecord)) return std::nullopt;
  std::string text;
  std::uint64_t seconds = 0;
  if (ReadGameFile(kSigningTimeRecord, text) && !text.empty() && text.back() == '\n') {
    const char* end = text.data() + text.size() - 1;
    const auto [stop, error] = std::from_chars(text.data(), end, seconds);
    if (error == std::errc() && stop == end) return seconds;
  }
  LogFailure(kSigningTimeRecord, "", "not a signing time; older server documents are not refused this time");
  return std::nullopt;
}

bool RecordSigningTime(std::uint64_t seconds) {
  return ox_base::OxBase::GetFileSystem()->ReplaceContents(kSigningTimeRecord, std::to_string(seconds) + "\n", false);
}
