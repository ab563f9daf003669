#include "base/files/ox_file.h"

#include <filesystem>
#include <system_error>

#include "base/diagnostics/ox_assert.h"
#include "base/files/ox_path.h"

namespace ox_base {
namespace {
const char kUnit[] = "dlls/base/ox_file";
constexpr int kCopyChunk = 4096;
}  // namespace

OxArchivePtr OxFile::OpenMemory(const std::string& path, unsigned flags) {
  std::lock_guard<std::mutex> lock(m_memoryLock);
  OxArchivePtr reader = OpenRead(path, flags);
  if (!reader) return nullptr;
  OxArchivePtr memory(new OxMemoryArchive(*reader));
  reader->Close();
  return memory;
}

void OxFile::Close(OxArchivePtr archive) {
  if (archive) archive->Close();
}

int64_t OxFile::GetFileSize(const std::string& path) {
  OxArchivePtr memory = OpenMemory(path, OX_READ_QUIET);
  return memory ? memory->GetSize() : -1;
}

bool OxFile::Copy(const std::string& destination, const std::string& source, bool overwrite, bool force,
                  const Progress& progress) {
  if (progress) progress(0.0f);
  bool result = false;
  OxArchivePtr in = OpenMemory(source, 0);
  if (in) {
    OxArchivePtr out =
        OpenWrite(destination, (overwrite ? 0u : unsigned{OX_WRITE_NEW_ONLY}) | (force ? unsigned{OX_WRITE_FORCE} : 0u));
    if (out) {
      // A buffer per call: copies on two threads (update worker, dump
      // upload) must not share one.
      char buffer[kCopyChunk];
      int64_t total = in->GetSize();
      for (int64_t offset = 0; offset < total;) {
        int got = in->Serialize(buffer, kCopyChunk);
        if (got <= 0 || in->HasError()) break;
        out->Serialize(buffer, got);
        if (out->HasError()) break;
        if (progress) progress(static_cast<float>(offset) / static_cast<float>(total));
        offset += got;
      }
      if (!out->Close()) {
        out.reset();
        Delete(destination, false, true);
      } else {
        result = in->Close();
      }
    }
  }
  if (progress) progress(1.0f);
  return result;
}

bool OxFile::Move(const std::string& destination, const std::string& source, bool overwrite, bool force) {
  // Copying a file onto itself would truncate it, and deleting the source
  // would then delete the only copy: it is already where it should be.
  std::error_code error;
  if (std::filesystem::equivalent(NativeFilesystemPath(NativePath(destination)),
                                  NativeFilesystemPath(NativePath(source)), error)) return overwrite;
  bool copied = Copy(destination, source, overwrite, force, nullptr);
  if (copied) Delete(source, true, true);
  return copied;
}

bool OxFile::MakeDirectory(const std::string& path, bool bTree) {
  OX_ASSERT(kUnit, bTree);
  bool handled = false;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\' && path[i] != '/') continue;
    std::string prefix = path.substr(0, i);
    if (IsRootPath(prefix.c_str())) continue;
    if (!MakeDirectory(prefix, false)) return false;
    handled = true;
  }
  return handled;
}

void OxFile::ListDirectory(std::vector<std::string>& list, const std::string& directory, bool files,
                           bool directories) {
  FindFiles(list, directory + "\\*", files, directories);
}

}  // namespace ox_base
