// farzip: lists or extracts a zip archive with the launcher's own reader,
// for publishers checking their update archives.
//   farzip l ARCHIVE   one line per entry: index size compressed_size attributes(hex) name
//   farzip x ARCHIVE   extracts every entry into the current directory, as the
//                      launcher installs a full package
// Names are shown in UTF-8. Exit code 0 when every entry succeeded, 1
// otherwise, 2 for usage.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "base/files/ox_path.h"
#include "base/text/ox_unicode.h"
#include "update/site/archive_install.h"
#include "zip/zip_reader.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// Entry names are in the launcher's code page; the terminal reads UTF-8.
std::string Shown(const std::string& name) { return ox_base::CodePageToUtf8(name, ox_base::kLauncherCodePage); }

void ReportEntry(std::int32_t index, const std::string& name, ZipResult result) {
  std::fprintf(stderr, "farzip: entry %" PRId32 " %s: %s\n", index, Shown(name).c_str(),
               ZipResultText(result).c_str());
}

int List(ZipReader& reader) {
  ZipEntry count;
  reader.GetItem(-1, count);
  int exitCode = kSuccess;
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipEntry entry;
    const ZipResult result = reader.GetItem(i, entry);
    if (result != ZipResult::Ok) {
      ReportEntry(i, "", result);
      exitCode = kFailure;
      continue;
    }
    std::printf("%" PRId32 " %" PRId64 " %" PRId64 " %" PRIx32 " %s\n", entry.index,
                entry.uncompressedSize, entry.compressedSize, entry.attributes, Shown(entry.name).c_str());
  }
  return exitCode;
}

// The launcher's own install: entries on several threads, the files in
// their way replaced; every failure on a line of its own.
int Extract(const std::string& archive) {
  UpdateProgress progress;
  ArchiveInstall how;
  how.trustFilesAllowed = true;  // an archive the user unpacks, not an update
  const ArchiveInstallResult result = InstallArchive(archive, how, progress);
  for (const std::string& problem : result.problems) {
    std::fprintf(stderr, "farzip: %s\n", Shown(problem).c_str());
  }
  return result.outcome == ArchiveOutcome::Installed ? kSuccess : kFailure;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "l") != 0 && std::strcmp(argv[1], "x") != 0)) {
    std::fprintf(stderr, "usage: farzip l ARCHIVE | farzip x ARCHIVE\n");
    return kUsage;
  }
  // The reader takes names in the launcher's code page, as the launcher
  // gives them; the command line gives UTF-8.
  const std::optional<std::string> archive = ox_base::NameFromNative(argv[2]);
  if (!archive) {
    std::fprintf(stderr, "farzip: %s cannot be named in the launcher's code page\n", argv[2]);
    return kFailure;
  }
  if (argv[1][0] == 'x') return Extract(*archive);
  ZipReader reader;
  const ZipResult opened = reader.Open(*archive);
  if (opened != ZipResult::Ok) {
    std::fprintf(stderr, "farzip: cannot open %s: %s (%" PRId32 ")\n", argv[2],
                 ZipResultText(opened).c_str(), static_cast<std::int32_t>(opened));
    return kFailure;
  }
  const int exitCode = List(reader);
  reader.Close();
  return exitCode;
}
