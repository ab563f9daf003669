#include "base/files/ox_output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace ox_base {
namespace {

std::string SystemError(int error) { return std::error_code(error, std::generic_category()).message(); }

int CreateExclusive(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

}  // namespace

OutputFile OutputFile::Create(const std::string& path, std::string& problem) {
  // One call for a new name, the usual case when unpacking.
  int descriptor = CreateExclusive(path);
  if (descriptor < 0 && errno == EEXIST) {
    struct stat existing;
    const bool replaceable =
        ::lstat(path.c_str(), &existing) != 0 || S_ISREG(existing.st_mode) || S_ISLNK(existing.st_mode);
    if (!replaceable) {
      // A folder refuses; a device takes the bytes, as with any writer.
      descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    } else if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
      descriptor = CreateExclusive(path);
    }
  }
  if (descriptor < 0) {
    problem = SystemError(errno);
    return OutputFile();
  }
  return OutputFile(descriptor);
}

void OutputFile::SetLastWriteTime(std::int64_t unixSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  times[1].tv_nsec = 0;
  ::futimens(descriptor_, times);
}

void OutputFile::SetPermissions(unsigned mode) { ::fchmod(descriptor_, static_cast<mode_t>(mode & 0777u)); }

void OutputFile::RemoveWritePermission() {
  struct stat status;
  if (::fstat(descriptor_, &status) == 0) {
    ::fchmod(descriptor_, status.st_mode & 07777 & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH));
  }
}

int OutputFile::CloseDescriptor(int descriptor) { return ::close(descriptor); }

long OutputFile::WriteSome(int descriptor, const char* bytes, std::size_t size) {
  for (;;) {
    const ssize_t written = ::write(descriptor, bytes, size);
    if (written >= 0 || errno != EINTR) return static_cast<long>(written);
  }
}

}  // namespace ox_base
