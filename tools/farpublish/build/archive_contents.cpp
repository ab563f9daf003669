#include "build/archive_contents.h"

#include <zip.h>

#include <fstream>
#include <memory>

#include "byte_compare.h"

namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
  void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};

ChunkReader EntryChunks(zip_file_t* entry) {
  return [entry](char* buffer, std::size_t capacity) -> std::int64_t { return zip_fread(entry, buffer, capacity); };
}

bool EntryHolds(zip_t* archive, zip_uint64_t index, const BuildFile& file, std::string& detail) {
  const char* name = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
  if (name == nullptr || name != file.name) {
    detail = "entry " + std::to_string(index) + " is " + (name != nullptr ? name : "unnamed") + ", not " + file.name;
    return false;
  }
  const std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive, index, 0));
  std::ifstream source(file.path, std::ios::binary);
  if (!entry || !source) {
    detail = "cannot read entry " + file.name + (entry ? " from " + file.path.string() : std::string());
    return false;
  }
  switch (CompareStreams(EntryChunks(entry.get()), FileChunks(source))) {
    case Comparison::Equal:
      return true;
    case Comparison::Different:
      detail = "entry " + file.name + " holds other bytes";
      return false;
    case Comparison::ReadError:
      break;
  }
  detail = "cannot read entry " + file.name + " or " + file.path.string();
  return false;
}

}  // namespace

bool ArchiveHolds(const std::filesystem::path& path, const std::vector<BuildFile>& entries, std::string& detail) {
  int openError = 0;
  const std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &openError));
  if (!archive) {
    zip_error_t reason;
    zip_error_init_with_code(&reason, openError);
    detail = std::string("not a readable zip archive: ") + zip_error_strerror(&reason);
    zip_error_fini(&reason);
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count != static_cast<zip_int64_t>(entries.size())) {
    detail = "it holds " + std::to_string(count) + " entries, not " + std::to_string(entries.size());
    return false;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!EntryHolds(archive.get(), i, entries[i], detail)) return false;
  }
  return true;
}
