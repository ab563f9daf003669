#include "net/crash_dump_upload.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/log/ox_log.h"
#include "base/files/ox_path.h"
#include "base/diagnostics/ox_random.h"
#include "net/ftp_upload.h"

namespace {

constexpr const char* kDumpName = "game.dmp";
constexpr std::uintmax_t kLargestDump = 150000;
constexpr std::size_t kLongestResult = 253;

// "game_<seconds since 1970>_<nine digits>.dmp": a name of its own on the
// collection server for every dump sent. The digits come from the system's
// random source, so players whose dumps go out in the same second do not
// overwrite each other's.
std::string UploadName() {
  const std::time_t now = std::time(nullptr);
  char name[64];
  std::snprintf(name, sizeof name, "game_%lld_%09u.dmp", static_cast<long long>(now),
                static_cast<unsigned>(ox_base::OxRandomBelow(1000000000)));
  return name;
}

enum class Sending { Sent, TooLarge, Failed };

// Sends the renamed dump unless it is too large. `reason` is set when the
// local file could not be used.
Sending SendDump(const std::string& server, int port, const std::string& name, std::string& reason) {
  try {
    std::ifstream dump(name, std::ios::binary);
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(name, error);
    if (!dump || error) {
      reason = "The dump file " + name + " could not be opened.";
      return Sending::Failed;
    }
    if (size > kLargestDump) return Sending::TooLarge;
    std::vector<char> bytes(size);
    if (!dump.read(bytes.data(), static_cast<std::streamsize>(size))) {
      reason = "The dump file " + name + " could not be read.";
      return Sending::Failed;
    }
    dump.close();
    return UploadByFtp(server, port, name, bytes) ? Sending::Sent : Sending::Failed;
  } catch (const std::exception& exception) {
    reason = exception.what();
    return Sending::Failed;
  }
}

// Dumps that an earlier run renamed for their upload but ended before it
// was through (the process ended mid-transfer): they go out under the
// names they already have, as game.dmp would.
void SendInterruptedUploads(const std::string& server, int port) {
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  std::vector<std::string> found;
  fileSystem->FindFiles(found, "game_*.dmp", true, false);
  static const std::regex uploadName("game_[0-9]+_[0-9]{9}\\.dmp");
  for (const std::string& name : found) {
    if (!std::regex_match(name, uploadName)) continue;
    std::string reason;
    if (SendDump(server, port, name, reason) != Sending::Failed) {
      fileSystem->Delete(name, false, false);
    } else if (ox_base::SmartPtr<ox_base::OxLog> log = ox_base::OxBase::GetBaseLog()) {
      log->Error("UploadCrashDump: %s was not sent to %s%s; it stays for the next start\n", name.c_str(),
                 server.c_str(), reason.empty() ? "" : (" (" + reason + ")").c_str());
    }
  }
}

}  // namespace

std::string UploadCrashDump(const std::string& server, int port) {
  SendInterruptedUploads(server, port);
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  std::vector<std::string> found;
  fileSystem->FindFiles(found, kDumpName, true, false);
  if (found.empty()) return {};
  // The file system matches names regardless of letter case; rename the
  // entry it found under the spelling it has on disk.
  const std::string name = UploadName();
  // A failed rename (the game still writing) shows as the open failing below
  // and leaves the dump in place for a later call.
  std::error_code ignored;
  std::filesystem::rename(ox_base::NativeFilesystemPath(ox_base::NativePath(found.front())),
                          ox_base::NativeFilesystemPath(name), ignored);
  std::string reason;
  const Sending sending = SendDump(server, port, name, reason);
  if (sending != Sending::Failed) {
    fileSystem->Delete(name, false, false);
  } else if (!fileSystem->Exists(kDumpName)) {
    // Kept for the next attempt (start-up tries twice), unless the game
    // has left a newer dump meanwhile.
    std::filesystem::rename(ox_base::NativeFilesystemPath(name), ox_base::NativeFilesystemPath(kDumpName), ignored);
    if (ox_base::SmartPtr<ox_base::OxLog> log = ox_base::OxBase::GetBaseLog())
      log->Error("UploadCrashDump: the dump was not sent to %s; it stays as %s\n", server.c_str(), kDumpName);
  }
  return reason.substr(0, kLongestResult);
}
