#include "base/files/ox_file_ansi.h"

#include <cstdio>

#include "base/files/ox_atomic_save.h"
#include "base/init/ox_base.h"
#include "base/files/ox_file_archive.h"
#include "base/log/ox_log.h"
#include "base/files/ox_native_file.h"
#include "base/files/ox_path.h"

namespace ox_base {
namespace {

void LogOpenFailed(const std::string& path) {
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) log->Error("OxFile: File open failed: %s\n", path.c_str());
}

}  // namespace

OxFileAnsi* OxFileAnsi::Instance() {
  static OxFileAnsi instance;
  return &instance;
}

OxArchivePtr OxFileAnsi::OpenRead(const std::string& path, unsigned flags) {
  if (path == "stdin") return OxArchivePtr(new OxArchiveFileReader(*this, stdin, 1024, false));
  std::FILE* file = OpenNativeForReading(NativePath(path));
  if (!file) {
    if (!(flags & OX_READ_QUIET)) LogOpenFailed(path);
    return nullptr;
  }
  fseeko(file, 0, SEEK_END);
  int64_t size = ftello(file);
  fseeko(file, 0, SEEK_SET);
  CountFileOpenedForReading();
  return OxArchivePtr(new OxArchiveFileReader(*this, file, size, true));
}

OxArchivePtr OxFileAnsi::OpenWrite(const std::string& path, unsigned flags) {
  if (path == "stdout") return OxArchivePtr(new OxArchiveFileWriter(*this, stdout, false, ""));
  const std::string native = NativePath(path);
  if (flags & OX_WRITE_FORCE) SetWritable(path, OX_ATTR_WRITABLE);
  bool refusedAsExisting = false;
  std::FILE* file = native.empty() ? nullptr : OpenNativeForWriting(native, flags, refusedAsExisting);
  if (!file) {
    if (!refusedAsExisting && !(flags & OX_WRITE_QUIET)) LogOpenFailed(path);
    return nullptr;
  }
  if (flags & OX_WRITE_UNBUFFERED) std::setvbuf(file, nullptr, _IONBF, 0);
  return OxArchivePtr(new OxArchiveFileWriter(*this, file, true, (flags & OX_WRITE_TEMPORARY) ? native : ""));
}

bool OxFileAnsi::ReplaceContents(const std::string& path, const std::string& bytes, bool force) {
  std::string reason = "its name has no form on this system";
  const std::optional<std::string> native = ToNativePath(path);
  if (native && !native->empty() && SaveAtomically(*native, bytes, force, reason)) return true;
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog())
    log->Error("OxFile: Saving %s failed: %s\n", path.c_str(), reason.c_str());
  return false;
}

}  // namespace ox_base
