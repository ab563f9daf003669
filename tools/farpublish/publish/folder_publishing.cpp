#include "publish/folder_publishing.h"

#include <fstream>
#include <system_error>

#include "byte_compare.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPartSuffix[] = ".farpublish-part";

bool HoldsSameBytes(const fs::path& source, const fs::path& target) {
  std::error_code failure;
  if (!fs::is_regular_file(target, failure) || fs::file_size(source, failure) != fs::file_size(target, failure) ||
      failure) {
    return false;
  }
  std::ifstream a(source, std::ios::binary);
  std::ifstream b(target, std::ios::binary);
  return a && b && CompareStreams(FileChunks(a), FileChunks(b)) == Comparison::Equal;
}

// Copies under the temporary name, then renames it into place; the
// temporary file never outlives a failure.
bool CopyThroughPart(const fs::path& source, const fs::path& target, std::string& error) {
  std::error_code failure;
  fs::create_directories(target.parent_path(), failure);
  if (failure) {
    error = "cannot make the folder " + target.parent_path().string() + ": " + failure.message();
    return false;
  }
  const fs::path part = target.parent_path() / ("." + target.filename().string() + kPartSuffix);
  fs::copy_file(source, part, fs::copy_options::overwrite_existing, failure);
  if (failure) {
    error = "cannot copy " + source.string() + " to " + part.string() + ": " + failure.message();
  } else {
    fs::rename(part, target, failure);
    if (failure) error = "cannot move " + part.string() + " to " + target.string() + ": " + failure.message();
  }
  if (failure) {
    std::error_code ignored;
    if (!fs::is_directory(part, ignored)) fs::remove(part, ignored);
  }
  return !failure;
}

}  // namespace

bool PublishToFolder(const fs::path& site, const std::vector<PublishingBatch>& batches, const fs::path& destination,
                     std::ostream& out, std::string& error) {
  std::size_t copied = 0;
  std::size_t present = 0;
  for (const PublishingBatch& batch : batches) {
    for (const std::string& name : batch.files) {
      const fs::path source = site / name;
      const fs::path target = destination / name;
      if (HoldsSameBytes(source, target)) {
        ++present;
        continue;
      }
      if (!CopyThroughPart(source, target, error)) {
        error += "; stopped at " + batch.what + ": nothing after it (the document comes last) was copied";
        return false;
      }
      out << "copied " << name << "\n";
      ++copied;
    }
  }
  out << copied << " copied, " << present << " already there\n";
  return true;
}
