#include "archive_check.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "base/ox_unicode.h"
#include "entered_folder.h"
#include "zip/zip_reader.h"

namespace fs = std::filesystem;

namespace {

constexpr char kScratchFolder[] = "unpacked";

std::string EntryProblem(const std::string& name, const std::string& problem) {
  return "entry \"" + ox_base::CodePageToUtf8(name, ox_base::kLauncherCodePage) + "\": " + problem;
}

std::vector<std::string> UnpackAll(const std::string& archive, std::vector<std::string>& names) {
  std::vector<std::string> problems;
  ZipReader reader;
  if (reader.Open(archive) != ZipResult::Ok) return {"does not open as a zip archive"};
  ZipEntry count;
  reader.GetItem(-1, count);
  std::atomic<std::int64_t> extractedBytes{0};
  const std::atomic<bool> cancel{false};
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipEntry entry;
    if (reader.GetItem(i, entry) != ZipResult::Ok) {
      problems.push_back("entry " + std::to_string(i) + " cannot be read: " +
                         (reader.Problem().empty() ? "its name has no form in the code page" : reader.Problem()));
      continue;
    }
    names.push_back(entry.name);
    if (reader.ExtractItem(i, entry.name, extractedBytes, cancel) != ZipResult::Ok) {
      problems.push_back(EntryProblem(entry.name, reader.Problem()));
    }
  }
  reader.Close();
  return problems;
}

}  // namespace

std::vector<std::string> ArchiveProblems(const std::string& archive, std::vector<std::string>& names) {
  const fs::path path = fs::absolute(archive);
  const fs::path scratch = fs::absolute(kScratchFolder);
  std::error_code failure;
  fs::remove_all(scratch, failure);
  if (!fs::create_directory(scratch, failure)) return {"cannot make the folder to unpack it in: " + failure.message()};
  std::vector<std::string> problems;
  {
    const EnteredFolder unpacking(scratch);
    problems = UnpackAll(path.string(), names);
  }
  fs::remove_all(scratch, failure);
  return problems;
}
