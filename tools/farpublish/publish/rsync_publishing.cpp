#include "publish/rsync_publishing.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <system_error>

#include "external_program.h"

namespace fs = std::filesystem;

namespace {

// The batch's names, one a line, for --files-from; removed with it.
class FileList {
 public:
  explicit FileList(const std::vector<std::string>& files)
      : path_(fs::temp_directory_path() / ("farpublish-" + std::to_string(std::random_device{}()) + ".list")) {
    std::ofstream list(path_, std::ios::binary);
    for (const std::string& file : files) list << file << "\n";
    written_ = static_cast<bool>(list);
  }
  ~FileList() {
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  FileList(const FileList&) = delete;
  FileList& operator=(const FileList&) = delete;

  const fs::path& Path() const { return path_; }
  bool Written() const { return written_; }

 private:
  fs::path path_;
  bool written_ = false;
};

}  // namespace

bool IsRsyncDestination(const std::string& destination) {
  const std::size_t colon = destination.find(':');
  if (colon == std::string::npos) return false;
  const bool driveLetter = colon == 1 && std::isalpha(static_cast<unsigned char>(destination[0])) &&
                           (destination.size() == 2 || destination[2] == '\\' || destination[2] == '/');
  return !driveLetter;
}

bool PublishWithRsync(const fs::path& site, const std::vector<PublishingBatch>& batches, const std::string& destination,
                      std::ostream& out, std::string& error) {
  const fs::path rsync = FindOnPath("rsync");
  if (rsync.empty()) {
    error = "rsync is not installed (no rsync on PATH): it is needed to publish to " + destination;
    return false;
  }
  const std::string target = destination.back() == '/' ? destination : destination + "/";
  for (const PublishingBatch& batch : batches) {
    const FileList list(batch.files);
    if (!list.Written()) {
      error = "cannot write the list of " + batch.what + " to " + list.Path().string();
      return false;
    }
    const std::string command = ShellArgument(rsync.string()) + " --recursive --times --delay-updates" +
                                (batch.namedByContent ? " --ignore-existing" : "") +
                                " --files-from=" + ShellArgument(list.Path().string()) + " " +
                                ShellArgument(site.string() + "/") + " " + ShellArgument(target);
    out << "sending " << batch.what << " (" << batch.files.size() << " files)\n" << std::flush;
    const int status = std::system(command.c_str());
    if (status != 0) {
      error = "rsync failed sending " + batch.what + " to " + destination + " (status " + std::to_string(status) +
              "): nothing after it (the document comes last) was sent";
      return false;
    }
  }
  out << "sent " << batches.size() << " batches to " << destination << "\n";
  return true;
}
