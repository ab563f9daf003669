#include "check/archive_check.h"

#include <cstdint>

#include "base/text/ox_unicode.h"
#include "zip/zip_reader.h"

namespace {

std::string EntryProblem(const std::string& name, const std::string& problem) {
  return "entry \"" + ox_base::CodePageToUtf8(name, ox_base::kLauncherCodePage) + "\": " + problem;
}

}  // namespace

std::vector<std::string> ArchiveProblems(const std::string& archive, std::vector<std::string>& names) {
  ZipReader reader;
  if (reader.Open(archive) != ZipResult::Ok) return {"does not open as a zip archive"};
  ZipEntry count;
  reader.GetItem(-1, count);
  std::vector<std::string> problems;
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipEntry entry;
    if (reader.GetItem(i, entry) != ZipResult::Ok) {
      problems.push_back("entry " + std::to_string(i) + " cannot be read: " +
                         (reader.Problem().empty() ? "its name has no form in the code page" : reader.Problem()));
      continue;
    }
    names.push_back(entry.name);
    if (reader.TestItem(i) != ZipResult::Ok) problems.push_back(EntryProblem(entry.name, reader.Problem()));
  }
  reader.Close();
  return problems;
}
