#include "base/files/ox_atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace ox_base {
namespace {

// Where a chain of symbolic links starting at `path` ends: the file a save
// must replace, so that the links stay links. A dangling link ends at the
// name it points to, which the save then creates.
bool FollowLinks(std::string path, std::string& target, std::string& reason) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      target = path;
      return true;
    }
    std::vector<char> link(PATH_MAX);
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<size_t>(length) >= link.size()) {
      reason = "its link cannot be read";
      return false;
    }
    const std::string next(link.data(), static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    path = (next[0] == '/' || slash == std::string::npos) ? next : path.substr(0, slash + 1) + next;
  }
  reason = "its links form a loop";
  return false;
}

std::string ErrorText() { return std::strerror(errno); }

// A name beside `target` no other save uses at the same time.
constexpr char kSavingSuffix[] = ".saving";

std::string TemporaryName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return target + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + kSavingSuffix;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

bool SaveAtomically(const std::string& path, const std::string& bytes, bool force, std::string& reason) {
  std::string target;
  if (!FollowLinks(path, target, reason)) return false;
  struct stat info;
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists) {
    if (!S_ISREG(info.st_mode)) {
      reason = "it is not a file";
      return false;
    }
    // The owner's write bit is the read-only attribute of the original
    // platform: forcing clears it, as opening with OX_WRITE_FORCE does.
    if (!(info.st_mode & S_IWUSR)) {
      if (!force || ::chmod(target.c_str(), (info.st_mode & 07777) | S_IWUSR) != 0) {
        reason = "it is read-only";
        return false;
      }
      info.st_mode |= S_IWUSR;
    }
    // Renaming over a file needs only the folder's permission; the file's
    // own must be asked, or a protected file would be replaced.
    if (::access(target.c_str(), W_OK) != 0) {
      reason = "the user may not write it";
      return false;
    }
  }

  std::string temporary;
  int fd = -1;
  do {
    temporary = TemporaryName(target);
    // 0666 less the umask: the mode a new file gets anyway.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EEXIST);
  if (fd < 0) {
    reason = "no file can be created beside it: " + ErrorText();
    return false;
  }
  bool saved = (!exists || ::fchmod(fd, info.st_mode & 07777) == 0) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!saved) reason = "writing failed: " + ErrorText();
  if (::close(fd) != 0 && saved) {
    saved = false;
    reason = "writing failed: " + ErrorText();
  }
  if (saved && ::rename(temporary.c_str(), target.c_str()) != 0) {
    saved = false;
    reason = "it cannot be replaced: " + ErrorText();
  }
  if (!saved) ::unlink(temporary.c_str());
  return saved;
}

}  // namespace ox_base
