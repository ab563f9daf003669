#pragma once
// An owned file descriptor, closed when its owner goes away; and a pipe as
// a pair of them.
#include <unistd.h>

#include <optional>
#include <utility>

namespace frontends::posix {

class OwnedFd {
 public:
  explicit OwnedFd(int fd = -1) : fd_(fd) {}
  ~OwnedFd() { Reset(); }
  OwnedFd(OwnedFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OwnedFd& operator=(OwnedFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;

  int get() const { return fd_; }
  // Closes the descriptor now (when there is one).
  void Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

struct Pipe {
  OwnedFd read;
  OwnedFd write;
};

// pipe2 with `flags` (O_CLOEXEC, O_NONBLOCK); nullopt when it fails.
inline std::optional<Pipe> OpenPipe(int flags) {
  int fds[2];
  if (pipe2(fds, flags) != 0) return std::nullopt;
  return Pipe{OwnedFd(fds[0]), OwnedFd(fds[1])};
}

}  // namespace frontends::posix
