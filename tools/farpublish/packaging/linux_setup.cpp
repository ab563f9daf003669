#include "packaging/linux_setup.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "packaging/tar_writer.h"
#include "whole_file.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kProgramMode = 0755;
constexpr unsigned kDataMode = 0644;

bool IsLinuxProgram(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[4] = {};
  return in.read(head, 4) && std::string(head, 4) == "\x7f" "ELF";
}

// Desktop entries are started with the desktop environment's working
// folder, and the launcher runs in its current folder: the entry enters the
// folder it lies in (%k, its own path) first, so it works wherever the
// tarball was extracted. The quoting is the desktop entry's: a quoted
// argument escapes " and $ with a backslash, and the file's string escapes
// that backslash again.
std::string DesktopEntry(const std::string& product) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" + product + "\n"
         R"(Exec=sh -c "cd \\"\\$(dirname \\"\\$1\\")\\" && exec ./farLaunch.exe" farLaunch %k)" "\n"
         "Terminal=false\n"
         "Categories=Game;\n";
}

bool AddFile(const fs::path& from, const std::string& name, unsigned mode, std::vector<TarEntry>& entries,
             std::string& error) {
  TarEntry entry{name, mode, {}};
  if (!ReadWholeFile(from, entry.bytes)) {
    error = "cannot read " + from.string() + " for the tarball";
    return false;
  }
  entries.push_back(std::move(entry));
  return true;
}

bool Fail(std::ostream& err, const std::string& error) {
  err << "farpublish: " << error << "\n";
  return false;
}

}  // namespace

bool MakeLinuxTarball(const InstallerOptions& options, std::ostream& out, std::ostream& err) {
  if (!IsLinuxProgram(options.launcher)) {
    return Fail(err, options.launcher.string() +
                         " is not a Linux program: with --linux, --launcher takes the Linux farLaunch.exe");
  }
  fs::path document;
  std::string error;
  if (!FindGameDocument(options.gameFiles, document, error)) return Fail(err, error);

  const std::string top = options.product + "/";
  std::vector<TarEntry> entries = {{top, kProgramMode, {}},
                                   {top + options.product + ".desktop", kProgramMode, DesktopEntry(options.product)}};
  if (!AddFile(options.launcher, top + "farLaunch.exe", kProgramMode, entries, error) ||
      !AddFile(document, top + "updatecfg.xml", kDataMode, entries, error) ||
      (options.publisherKey && !AddFile(*options.publisherKey, top + "publisher.pub", kDataMode, entries, error))) {
    return Fail(err, error);
  }
  // The launcher runs on the console without its window module, and shows
  // the news as text without the web view: a build without them still
  // ships, with a word to the publisher.
  for (const char* module : {FARLAUNCH_WINDOW_MODULE, FARLAUNCH_WEB_MODULE}) {
    const fs::path beside = options.launcher.parent_path() / module;
    std::error_code failure;
    if (!fs::is_regular_file(beside, failure)) {
      err << "farpublish: no " << module << " beside " << options.launcher.string()
          << ": the tarball goes without it\n";
      continue;
    }
    if (!AddFile(beside, top + module, kProgramMode, entries, error)) return Fail(err, error);
  }

  std::string archive;
  if (!GzippedTar(std::move(entries), archive, error)) return Fail(err, error);
  const fs::path part = options.out.string() + ".part";
  std::error_code failure;
  if (!WriteNewFile(part, archive, error)) {
    fs::remove(part, failure);
    return Fail(err, error);
  }
  fs::rename(part, options.out, failure);
  if (failure) {
    fs::remove(part, failure);
    return Fail(err, "cannot put the tarball in place at " + options.out.string() + ": " + failure.message());
  }
  out << "wrote " << options.out.string() << "\n";
  return true;
}
