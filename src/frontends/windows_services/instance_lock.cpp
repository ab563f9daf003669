#include "platform/instance_lock.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "base/text/ox_wide_text_win.h"
#include "base/diagnostics/ox_windows_error_win.h"
#include "frontends/windows_services/owned_handle.h"

// The lock is LockFileEx through a handle no started program inherits; a
// second start sets a named event of the directory.
namespace platform {

using frontends::windows_services::OwnedHandle;

struct InstanceLock::Handles {
  OwnedHandle file;
  OwnedHandle request;  // may be none: nobody can then ask this one forward
  OwnedHandle stop;
};

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(100);

// The directory the lock file lies in, as the system names it.
std::wstring DirectoryOf(HANDLE file) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetFinalPathNameByHandleW(file, path, MAX_PATH * 4, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= MAX_PATH * 4) return L"";
  std::wstring directory(path, length);
  return directory.substr(0, directory.find_last_of(L"\\/"));
}

// The event of a directory: its path in one letter case (names ignore it),
// hashed to fit (FNV-1a, stable across builds, so an updated launcher finds
// the event of its predecessor).
std::wstring RequestEventName(std::wstring directory) {
  CharLowerBuffW(directory.data(), static_cast<DWORD>(directory.size()));
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : directory) {
    hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
  }
  wchar_t hex[17];
  std::swprintf(hex, 17, L"%016llx", static_cast<unsigned long long>(hash));
  return std::wstring(L"Local\\farLaunch-game-directory-") + hex;
}

bool TryLock(HANDLE file) {
  OVERLAPPED whole{};
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole) != 0;
}

// Asks the holder of the lock to come forward: setting its event is the
// request. The player has just started this process, so it may hand the
// foreground on; without that the system would only flash the holder's
// task bar button.
void AskHolderToComeForward(const std::wstring& eventName) {
  OwnedHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str()));
  if (!event) return;
  AllowSetForegroundWindow(ASFW_ANY);
  SetEvent(event.get());
}

}  // namespace

InstanceLock::InstanceLock(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

InstanceLock::Attempt InstanceLock::Acquire(const std::string& lockFile, std::chrono::milliseconds patience) {
  Attempt attempt;
  // No security attributes: the handle is not inherited.
  OwnedHandle file(CreateFileW(ox_base::WideFromUtf8(lockFile).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    attempt.problem = "no lock can be made: " + lockFile + ": " + ox_base::WindowsErrorText(GetLastError());
    return attempt;
  }
  const std::wstring directory = DirectoryOf(file.get());
  const std::wstring eventName = RequestEventName(directory);
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  bool asked = false;
  for (;;) {
    if (TryLock(file.get())) {
      // Auto-reset: one request, one coming forward.
      OwnedHandle request(CreateEventW(nullptr, FALSE, FALSE, eventName.c_str()));
      OwnedHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
      attempt.lock.reset(
          new InstanceLock(std::make_unique<Handles>(Handles{std::move(file), std::move(request), std::move(stop)})));
      return attempt;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      attempt.problem = "no lock can be made: " + lockFile + ": " + ox_base::WindowsErrorText(error);
      return attempt;
    }
    if (!asked) {
      AskHolderToComeForward(eventName);
      asked = true;
    }
    if (std::chrono::steady_clock::now() >= giveUp) {
      attempt.heldElsewhere = true;
      attempt.problem = "another farLaunch.exe is running in " + ox_base::Utf8FromWide(directory);
      return attempt;
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
}

InstanceLock::~InstanceLock() {
  if (handles_->stop) SetEvent(handles_->stop.get());
  if (server_.joinable()) server_.join();
}

void InstanceLock::ServeRequests(std::function<void()> onRequest) {
  if (!handles_->request || !handles_->stop) return;
  server_ = std::thread([this, onRequest = std::move(onRequest)] {
    const HANDLE events[] = {handles_->stop.get(), handles_->request.get()};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) onRequest();
  });
}

}  // namespace platform
