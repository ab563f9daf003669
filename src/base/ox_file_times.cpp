#include "base/ox_file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace ox_base {

bool SetLastWriteTime(const std::string& path, std::int64_t unixSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace ox_base
