#include "build/zip_writer.h"

#include <sys/stat.h>
#include <zip.h>

#include <system_error>

namespace {

// MS-DOS date of 1980-01-01 (year 0 from 1980, month 1, day 1) at 00:00.
constexpr zip_uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr zip_uint16_t kDosTime = 0;

zip_uint32_t UnixAttributes(bool executable) {
  const zip_uint32_t mode = S_IFREG | (executable ? 0755u : 0644u);
  return mode << 16;
}

std::string LibzipError(zip_t* archive) { return zip_strerror(archive); }

bool AddEntry(zip_t* archive, const BuildFile& file, std::string& error) {
  zip_source_t* source = zip_source_file(archive, file.path.c_str(), 0, -1);
  if (source == nullptr) {
    error = "cannot read " + file.path.string() + ": " + LibzipError(archive);
    return false;
  }
  const zip_int64_t index = zip_file_add(archive, file.name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    error = "cannot add " + file.name + ": " + LibzipError(archive);
    return false;
  }
  const auto entry = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 0) != 0 ||
      zip_file_set_dostime(archive, entry, kDosTime, kDosDate, 0) != 0 ||
      zip_file_set_external_attributes(archive, entry, 0, ZIP_OPSYS_UNIX, UnixAttributes(file.executable)) != 0) {
    error = "cannot set up entry " + file.name + ": " + LibzipError(archive);
    return false;
  }
  return true;
}

}  // namespace

bool WriteArchive(const std::filesystem::path& path, const std::vector<BuildFile>& entries, std::string& error) {
  int openError = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &openError);
  if (archive == nullptr) {
    zip_error_t reason;
    zip_error_init_with_code(&reason, openError);
    error = "cannot create " + path.string() + ": " + zip_error_strerror(&reason);
    zip_error_fini(&reason);
    return false;
  }
  for (const BuildFile& file : entries) {
    if (!AddEntry(archive, file, error)) {
      zip_discard(archive);
      return false;
    }
  }
  // The files are read and compressed here.
  if (zip_close(archive) != 0) {
    error = "cannot write " + path.string() + ": " + LibzipError(archive);
    zip_discard(archive);
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
  }
  return true;
}
