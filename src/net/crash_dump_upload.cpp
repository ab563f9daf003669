#include "net/crash_dump_upload.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/ox_base.h"
#include "base/ox_file.h"
#include "net/ftp_upload.h"

namespace {

constexpr const char* kDumpName = "game.dmp";
constexpr std::uintmax_t kLargestDump = 150000;
constexpr std::size_t kLongestResult = 253;

// "game_<seconds since 1970>_<rand() % 1000, three digits>.dmp": a name of
// its own on the collection server for every dump sent.
std::string UploadName() {
  std::time_t now = std::time(nullptr);
  std::srand(static_cast<unsigned>(now));
  int random = std::rand() % 1000;
  char name[64];
  std::snprintf(name, sizeof name, "game_%lld_%03d.dmp", static_cast<long long>(now), random);
  return name;
}

// Sends the renamed dump unless it is too large; "" or the reason the local
// file could not be used.
std::string SendDump(const std::string& server, int port, const std::string& name) {
  try {
    std::ifstream dump(name, std::ios::binary);
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(name, error);
    if (!dump || error) return "The dump file " + name + " could not be opened.";
    if (size > kLargestDump) return {};
    std::vector<char> bytes(size);
    if (!dump.read(bytes.data(), static_cast<std::streamsize>(size))) {
      return "The dump file " + name + " could not be read.";
    }
    dump.close();
    UploadByFtp(server, port, name, bytes);
    return {};
  } catch (const std::exception& exception) {
    return exception.what();
  }
}

}  // namespace

std::string UploadCrashDump(const std::string& server, int port) {
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  std::vector<std::string> found;
  fileSystem->FindFiles(found, kDumpName, true, false);
  if (found.empty()) return {};
  // The file system matches names regardless of letter case; rename the
  // entry it found under the spelling it has on disk.
  const std::string name = UploadName();
  // A failed rename (the game still writing) shows as the open failing below
  // and leaves the dump in place for a later call.
  std::rename(found.front().c_str(), name.c_str());
  std::string result = SendDump(server, port, name);
  fileSystem->Delete(name, false, false);
  return result.substr(0, kLongestResult);
}
