#include "update/manifest_staging.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "base/ox_path.h"
#include "update/object_content.h"
#include "update/worker_steps.h"

namespace fs = std::filesystem;

namespace {

// The object as it downloads, beside the content it decodes to.
constexpr char kObjectSuffix[] = ".object";

fs::path OnDisk(const std::string& name) { return ox_base::NativeFilesystemPath(ox_base::NativePath(name)); }

// Turns each download's percentages into percentages of all the bytes to
// fetch, so that the bar runs once over the whole update.
class OverallProgress : public platform::MessageTarget {
 public:
  OverallProgress(platform::MessageTarget& window, std::uint64_t total) : window_(window), total_(total) {}

  void Begin(std::uint64_t bytes) { current_ = bytes; }
  void End() { done_ += current_; }
  std::uint64_t Done() const { return done_; }

  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    if (message == platform::WM_DOWNLOAD_PROGRESS && total_ > 0) {
      const std::uint64_t fetched = done_ + current_ * static_cast<std::uint64_t>(lParam) / 100;
      lParam = static_cast<std::intptr_t>(fetched * 100 / total_);
    }
    window_.PostWindowMessage(message, wParam, lParam);
  }

 private:
  platform::MessageTarget& window_;
  const std::uint64_t total_;
  std::uint64_t current_ = 0;
  std::uint64_t done_ = 0;
};

std::string Megabytes(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes * 10 + (1 << 19)) >> 20;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// True when the staged file holds the record's content.
bool Staged(const ManifestFile& record) {
  const fs::path staged = OnDisk(StagedName(record.sha256));
  std::error_code error;
  return fs::file_size(staged, error) == record.size && !error && FileSha256(staged) == record.sha256;
}

// Keeps only what belongs to the objects `needed` names.
void RemoveUnneeded(const std::map<std::string, const PlannedFile*>& needed) {
  std::error_code error;
  for (fs::directory_iterator it(OnDisk(kStageFolder), error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (needed.count(name.substr(0, 64)) == 0) {
      std::error_code ignored;
      fs::remove_all(it->path(), ignored);
    }
  }
}

// Decodes the downloaded object into its staged file.
bool Stage(const ManifestFile& record, const std::string& object, std::string& problem) {
  const std::string staged = StagedName(record.sha256);
  const fs::path decoding = OnDisk(staged + ".decoding");
  std::ofstream out(decoding, std::ios::binary | std::ios::trunc);
  const bool decoded = DecodeObject(OnDisk(object), record, [&out](std::string_view piece) {
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  }, problem);
  out.close();
  std::error_code error;
  if (decoded && !out) problem = "the staged file cannot be written";
  if (decoded && out) fs::rename(decoding, OnDisk(staged), error);
  if (error) problem = "the staged file cannot be renamed: " + error.message();
  fs::remove(OnDisk(object), error);
  fs::remove(decoding, error);
  return problem.empty();
}

}  // namespace

std::string StagedName(const std::string& sha256) { return std::string(kStageFolder) + "/" + sha256; }

bool FetchObjects(LauncherState& state, platform::Platform& platform, const std::string& objectsBase,
                  const ManifestPlan& plan, std::string& address, std::string& problem) {
  std::map<std::string, const PlannedFile*> objects;
  for (const PlannedFile& file : plan.fetch) objects.emplace(file.record.sha256, &file);
  std::error_code error;
  fs::create_directories(OnDisk(kStageFolder), error);
  RemoveUnneeded(objects);
  OverallProgress overall(platform.GetUiThread(), plan.bytesToFetch);
  const std::string total = Megabytes(plan.bytesToFetch);
  std::int32_t index = 0;
  for (const auto& [sha256, file] : objects) {
    const ManifestFile& record = file->record;
    overall.Begin(record.storedSize);
    ++index;
    if (!Staged(record)) {
      state.progress.AnnounceDownload(file->local + " (" + Megabytes(overall.Done()) + "/" + total + " MB)", index,
                                      static_cast<std::int32_t>(objects.size()));
      address = objectsBase + ObjectName(sha256);
      const std::string object = StagedName(sha256) + kObjectSuffix;
      const DownloadResult download = FetchFile(state, platform, address, object, ObjectDownloadCheck(record), &overall);
      if (!download) {
        problem = download.reason;
        return false;
      }
      if (!Stage(record, object, problem)) return false;
    }
    overall.End();
  }
  return true;
}

void RemoveStage() {
  std::error_code ignored;
  fs::remove_all(OnDisk(kStageFolder), ignored);
}
