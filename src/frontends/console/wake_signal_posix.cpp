#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <stdexcept>

#include "frontends/console/wake_signal.h"
#include "frontends/posix/owned_fd.h"

namespace frontends::console {

struct WakeSignal::Native {
  posix::Pipe pipe;
};

WakeSignal::WakeSignal() {
  std::optional<posix::Pipe> pipe = posix::OpenPipe(O_CLOEXEC | O_NONBLOCK);
  if (!pipe) throw std::runtime_error("event loop: cannot create its wake-up pipe");
  native_.reset(new Native{std::move(*pipe)});
}

WakeSignal::~WakeSignal() = default;

void WakeSignal::Wake() {
  // A full pipe already wakes the loop, so a failed write loses nothing.
  char byte = 1;
  ssize_t ignored = write(native_->pipe.write.get(), &byte, 1);
  (void)ignored;
}

void WakeSignal::Wait(int timeoutMs) {
  pollfd wake{native_->pipe.read.get(), POLLIN, 0};
  if (poll(&wake, 1, timeoutMs) < 0 && errno != EINTR) {
    throw std::runtime_error("event loop: poll failed");
  }
  char buffer[64];
  while (read(native_->pipe.read.get(), buffer, sizeof(buffer)) > 0) {
  }
}

}  // namespace frontends::console
