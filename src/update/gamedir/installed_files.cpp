#include "update/gamedir/installed_files.h"

#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "base/files/ox_atomic_save.h"
#include "base/files/ox_letter_case.h"
#include "base/files/ox_path.h"
#include "base/text/ox_percent_escape.h"
#include "base/files/ox_whole_file.h"
#include "manifest/line_fields.h"

namespace {

constexpr char kHeader[] = "farLaunch files 1";

std::optional<std::int64_t> ParseSigned(std::string_view field) {
  const bool negative = !field.empty() && field[0] == '-';
  const std::optional<std::uint64_t> magnitude = ParseDecimal(negative ? field.substr(1) : field);
  const auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (!magnitude || *magnitude > largest + (negative ? 1 : 0)) return std::nullopt;
  if (!negative) return static_cast<std::int64_t>(*magnitude);
  return *magnitude == largest + 1 ? std::numeric_limits<std::int64_t>::min()
                                   : -static_cast<std::int64_t>(*magnitude);
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& native) {
  const std::filesystem::path path = ox_base::NativeFilesystemPath(native);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return FileStamp{size, static_cast<std::int64_t>(modified.time_since_epoch().count())};
}

std::string GameFilePath(const std::string& name) { return ox_base::ResolveLetterCase(name); }

InstalledFiles InstalledFiles::Load(std::string& problem) {
  InstalledFiles record;
  if (!StampOf(kInstalledFilesRecord)) return record;
  std::string text;
  if (!ox_base::ReadWholeFile(kInstalledFilesRecord, text)) {
    problem = std::string(kInstalledFilesRecord) + " cannot be read";
  } else if (!record.Read(text, problem)) {
    problem = std::string(kInstalledFilesRecord) + " is not used: " + problem;
  }
  return record;
}

bool InstalledFiles::Save(std::string& reason) const {
  ox_base::RemoveAbandonedSaves(kInstalledFilesRecord);
  return ox_base::SaveAtomically(kInstalledFilesRecord, Text(), true, reason);
}

std::string InstalledFiles::Text() const {
  std::string text = std::string(kHeader) + "\n";
  for (const auto& [name, entry] : files_) {
    text += PercentEscaped(name) + "\t" + std::to_string(entry.stamp.size) + "\t" + std::to_string(entry.stamp.modified) +
            "\t" + entry.sha256 + "\n";
  }
  return text;
}

bool InstalledFiles::Read(std::string_view text, std::string& reason) {
  files_.clear();
  std::size_t start = 0;
  for (std::size_t number = 1; start < text.size() || number == 1; ++number) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      reason = "line " + std::to_string(number) + " is cut off (no line feed)";
      files_.clear();
      return false;
    }
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (number == 1) {
      if (line == kHeader) continue;
      reason = "line 1 is not \"" + std::string(kHeader) + "\"";
      return false;
    }
    const std::vector<std::string_view> fields = SplitFields(line);
    const std::optional<std::string> name = fields.size() == 4 ? PercentUnescaped(fields[0]) : std::nullopt;
    const std::optional<std::uint64_t> size = fields.size() == 4 ? ParseDecimal(fields[1]) : std::nullopt;
    const std::optional<std::int64_t> modified = fields.size() == 4 ? ParseSigned(fields[2]) : std::nullopt;
    if (!name || name->empty() || !size || !modified || !IsSha256Hex(fields[3])) {
      reason = "line " + std::to_string(number) + " is not <name> <size> <time> <sha256>";
      files_.clear();
      return false;
    }
    files_[*name] = Entry{FileStamp{*size, *modified}, std::string(fields[3])};
  }
  return true;
}

void InstalledFiles::Record(const std::string& name, const FileStamp& stamp, const std::string& sha256) {
  files_[name] = Entry{stamp, sha256};
}

void InstalledFiles::Forget(const std::string& name) { files_.erase(name); }

std::optional<std::string> InstalledFiles::UnchangedContent(const std::string& name) const {
  const auto entry = files_.find(name);
  if (entry == files_.end()) return std::nullopt;
  const std::optional<FileStamp> stamp = StampOf(GameFilePath(name));
  if (!stamp || !(*stamp == entry->second.stamp)) return std::nullopt;
  return entry->second.sha256;
}
