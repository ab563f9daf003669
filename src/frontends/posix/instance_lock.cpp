#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "frontends/posix/owned_fd.h"

// The lock is an flock: the same inode however the directory is reached (a
// bind mount, a symbolic link, another mount or network namespace), and
// the kernel releases it with the process (a crash or kill -9 leaves
// nothing held). Its descriptor is close-on-exec: the client, wine or a
// restarted launcher never inherit it. A second start connects to an
// abstract unix socket named after the directory's real path.
namespace platform {

using frontends::posix::OwnedFd;

struct InstanceLock::Handles {
  OwnedFd file;
  OwnedFd socket;  // may be closed: nobody can then ask this one forward
};

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(100);
constexpr int kWaitingRequests = 8;

// The abstract name of a directory's lock: its real path, hashed to fit
// (FNV-1a, stable across builds, so an updated launcher finds the lock of
// its predecessor).
std::string LockName(const std::string& realPath) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : realPath) {
    hash = (hash ^ c) * 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("farLaunch:game-directory:") + hex;
}

struct AbstractAddress {
  sockaddr_un address{};
  socklen_t length = 0;
};

AbstractAddress AddressOf(const std::string& name) {
  AbstractAddress abstract;
  abstract.address.sun_family = AF_UNIX;
  // A leading NUL puts the name in the abstract namespace: no file.
  std::memcpy(abstract.address.sun_path + 1, name.data(), name.size());
  abstract.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return abstract;
}

std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

// Asks the holder of the lock to come forward: connecting is the request.
void AskHolderToComeForward(const AbstractAddress& address) {
  OwnedFd client(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (client.get() >= 0) {
    connect(client.get(), reinterpret_cast<const sockaddr*>(&address.address), address.length);
  }
}

// The socket that later starts connect to; closed when it cannot be bound
// (a holder in another namespace keeps its own).
OwnedFd ListenForRequests(const AbstractAddress& address) {
  OwnedFd listening(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (listening.get() >= 0 &&
      (bind(listening.get(), reinterpret_cast<const sockaddr*>(&address.address), address.length) != 0 ||
       listen(listening.get(), kWaitingRequests) != 0)) {
    return OwnedFd(-1);
  }
  return listening;
}

}  // namespace

InstanceLock::Attempt InstanceLock::Acquire(const std::string& lockFile, std::chrono::milliseconds patience) {
  Attempt attempt;
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::canonical(".", error);
  if (error) {
    attempt.problem = "the game directory cannot be found: " + error.message();
    return attempt;
  }
  OwnedFd file(open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
  if (file.get() < 0) {
    attempt.problem = "no lock can be made: " + lockFile + ": " + SystemError();
    return attempt;
  }
  const AbstractAddress address = AddressOf(LockName(directory.string()));
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  bool asked = false;
  for (;;) {
    if (flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
      OwnedFd listening = ListenForRequests(address);
      attempt.lock.reset(new InstanceLock(std::make_unique<Handles>(Handles{std::move(file), std::move(listening)})));
      return attempt;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      attempt.problem = "no lock can be made: " + lockFile + ": " + SystemError();
      return attempt;
    }
    if (!asked) {
      AskHolderToComeForward(address);
      asked = true;
    }
    if (std::chrono::steady_clock::now() >= giveUp) {
      attempt.heldElsewhere = true;
      attempt.problem = "another farLaunch.exe is running in " + directory.string();
      return attempt;
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
}

InstanceLock::InstanceLock(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

InstanceLock::~InstanceLock() {
  // Wakes the accept of the serving thread.
  shutdown(handles_->socket.get(), SHUT_RDWR);
  if (server_.joinable()) server_.join();
}

void InstanceLock::ServeRequests(std::function<void()> onRequest) {
  if (handles_->socket.get() < 0) return;
  server_ = std::thread([this, onRequest = std::move(onRequest)] {
    for (;;) {
      OwnedFd request(accept4(handles_->socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (request.get() < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        return;  // shut down
      }
      onRequest();
    }
  });
}

}  // namespace platform
