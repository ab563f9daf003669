#include "check/site_check.h"

#include <algorithm>
#include <system_error>

#include "check/archive_check.h"
#include "base/files/ox_letter_case.h"
#include "base/text/ox_unicode.h"
#include "build/build_files.h"
#include "check/checked_fetch.h"
#include "command_line.h"
#include "check/entered_folder.h"
#include "check/manifest_check.h"
#include "check/no_window.h"
#include "document/publisher_key.h"
#include "build/release_plan.h"
#include "update/site/document_download.h"
#include "update/site/document_signature.h"
#include "update/site/update_documents.h"

namespace fs = std::filesystem;

namespace {

constexpr char kDownloadName[] = "site-file.download";
constexpr char kClientProgram[] = "client.exe";

class Report {
 public:
  explicit Report(std::ostream& out) : out_(out) {}
  void Problem(const std::string& line) {
    out_ << line << "\n";
    ++problems_;
  }
  // Worth knowing, and not wrong in itself.
  void Note(const std::string& line) { out_ << "note: " << line << "\n"; }
  bool Finish(const std::string& what) {
    if (problems_ == 0) {
      out_ << "sound: " << what << "\n";
    } else {
      out_ << problems_ << (problems_ == 1 ? " problem" : " problems") << "\n";
    }
    return problems_ == 0;
  }

 private:
  std::ostream& out_;
  int problems_ = 0;
};

std::string Shown(const std::string& codePageText) {
  return ox_base::CodePageToUtf8(codePageText, ox_base::kLauncherCodePage);
}

// One file the document names, fetched and checked as a launcher holding
// the publisher's key fetches it; archives are unpacked. `what` names it in
// the report; `names` gets an archive's entry names.
void CheckFile(const std::string& what, const std::string& address, const FileCheck& check, bool unpack,
               Report& report, std::vector<std::string>& names) {
  const std::string label = what + " (" + address + "): ";
  std::string problem;
  if (!FetchChecked(address, check, kDownloadName, problem)) return report.Problem(label + problem);
  if (unpack) {
    for (const std::string& archiveProblem : ArchiveProblems(kDownloadName, names)) {
      report.Problem(label + archiveProblem);
    }
  }
  std::error_code ignored;
  fs::remove(kDownloadName, ignored);
}

// Launchers install the entries after their own in document order, each
// whose package code sorts after the installed one, and record the last
// entry as installed: every code must sort after the one before it.
void CheckChain(const std::vector<VersionEntry>& entries, Report& report) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& code = entries[i].PackageCode;
    if (code.empty()) {
      report.Problem("version entry " + std::to_string(i + 1) + " has no PackageCode");
    } else if (i > 0 && !IsNewerPackage(code, entries[i - 1].PackageCode)) {
      report.Problem("broken chain: version " + Shown(code) + " follows " + Shown(entries[i - 1].PackageCode) +
                     " but does not sort after it: launchers at " + Shown(entries[i - 1].PackageCode) +
                     " never install it, yet record the last version as installed");
    }
  }
}

// The launcher finds its files whatever their letter case.
bool IsNamed(const std::string& entryName, const std::string& fileName) {
  return ox_base::FoldLetterCase(entryName) == ox_base::FoldLetterCase(fileName);
}

void CheckEntries(const std::vector<VersionEntry>& entries, Report& report, std::size_t& files) {
  for (const VersionEntry& entry : entries) {
    // Every platform's launcher, whichever this one is.
    for (const UpdateFileItem& item : EveryFileItem(entry)) {
      const std::string what = "version " + Shown(entry.PackageCode) + " item " + Shown(item.TargetFileName);
      std::vector<std::string> names;
      CheckFile(what, item.SourceFileAddr, item.check, IsArchiveItem(item), report, names);
      ++files;
      // The launcher installs only the first entry of its own archive, and
      // then restarts farLaunch.exe.
      if (item.Type == kLauncherItem && !names.empty() && !IsNamed(names.front(), kLauncherExecutable)) {
        report.Problem(what + " (" + item.SourceFileAddr + "): the launcher's archive starts with \"" +
                       Shown(names.front()) + "\", not " + kLauncherExecutable);
      }
    }
  }
}

void CheckFullPackage(const ServerConfig& server, Report& report) {
  if (server.MiniSourceFileAddr.empty()) {
    return report.Problem("no full package (MiniSourceFileAddr): a game directory without client.exe cannot be "
                          "installed");
  }
  std::vector<std::string> names;
  CheckFile("full package " + Shown(server.MiniTargetFileName), server.MiniSourceFileAddr,
            server.MiniSourceFileCheck, true, report, names);
  if (!names.empty() && std::none_of(names.begin(), names.end(),
                                     [](const std::string& name) { return IsNamed(name, kClientProgram); })) {
    report.Problem("full package (" + server.MiniSourceFileAddr + "): holds no " + kClientProgram +
                   ", so launchers install it again at every start");
  }
}

// The rules launchers apply to a validly signed document, as a fresh game
// directory would; a document that names no address is taken there, but
// not by a launcher that has accepted one that does.
void CheckSignedFields(const std::string& url, const std::string& trustedComment, const std::string& document,
                       Report& report) {
  const DocumentVerdict verdict = JudgeSignedDocument(url, trustedComment, document, std::nullopt);
  if (!verdict.refusal.empty()) {
    report.Problem("server document (" + url + "): " + verdict.refusal);
  } else if (!verdict.record.addressBound) {
    report.Problem("server document (" + url + "): the signature names no address (url:), so launchers that "
                   "accepted one that does refuse it: " + kHowToSign);
  }
}

// Launchers read attributes wherever they stand, also inside an XML
// comment: what the publisher reviews as commented out still acts.
void CheckComments(const std::string& url, const std::string& document, Report& report) {
  for (std::size_t start = document.find("<!--"); start != std::string::npos;
       start = document.find("<!--", start + 4)) {
    const std::size_t end = document.find("-->", start + 4);
    const std::string comment = document.substr(start, end == std::string::npos ? end : end + 3 - start);
    if (comment.find('=') == std::string::npos) continue;
    report.Problem("server document (" + url + "): commented-out markup is still read by launchers: " +
                   comment.substr(0, 80));
  }
}

// UpdateBlockAddr is both the page a cut-off version opens and the address
// launchers move to after an update; they move only to a server document.
void CheckBlockAddress(const std::string& address, const std::string& documentAddress, Report& report) {
  if (address.empty() || address == documentAddress) return;
  NoWindow window;
  std::string plain;
  std::string reason;
  ServerConfig server;
  if (DownloadServerDocument(address, window, plain, reason) && ReadServerDocument(plain, true, server, reason)) {
    return;
  }
  report.Note("UpdateBlockAddr (" + address + ") is no server document (" + reason +
              "): launchers open it for a cut-off version and keep their address after an update; to move the "
              "site, give the new document's address");
}

bool ParseSample(const std::string& text, std::optional<std::size_t>& sample, std::string& error) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos ||
      std::stoul(text) == 0) {
    error = "--sample takes a number of objects from 1 to 999999999, not '" + text + "'";
    return false;
  }
  sample = std::stoul(text);
  return true;
}

}  // namespace

bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, {"--key", "--sample"}, line, error)) return false;
  for (const auto& [name, value] : line.options) {
    if (name == "--key") options.publicKey = value;
    if (name == "--sample" && !ParseSample(value, options.sample, error)) return false;
  }
  if (line.positional.size() != 1) {
    error = "check takes the URL of the server document";
    return false;
  }
  options.url = line.positional[0];
  return true;
}

bool CheckSite(const CheckOptions& options, std::ostream& out) {
  Report report(out);
  std::optional<PublicKey> key;
  std::string reason;
  if (options.publicKey && !LoadPublicKey(*options.publicKey, key, reason)) {
    report.Problem(reason);
    return report.Finish("");
  }
  const ScratchFolder scratch;
  NoWindow window;
  std::string plain;
  if (!DownloadServerDocument(options.url, window, plain, reason)) {
    report.Problem("server document (" + options.url + "): " + reason);
    return report.Finish("");
  }
  if (key) {
    const DocumentSignature signature = CheckDocumentSignature(options.url, plain, *key, window);
    if (!signature.valid) report.Problem("server document (" + signature.address + "): " + signature.reason);
    if (signature.valid) CheckSignedFields(options.url, signature.trustedComment, plain, report);
  }
  CheckComments(options.url, plain, report);
  ServerConfig server;
  if (!ReadServerDocument(plain, true, server, reason)) {
    report.Problem("server document (" + options.url + "): " + reason);
    return report.Finish("");
  }
  if (server.entries.empty()) {
    // Launchers read it, and every installed version is then cut off.
    report.Problem("server document (" + options.url + "): the document lists no version");
    return report.Finish("");
  }
  CheckChain(server.entries, report);
  std::size_t files = server.MiniSourceFileAddr.empty() ? 0 : 1;
  CheckEntries(server.entries, report, files);
  CheckFullPackage(server, report);
  const ManifestCheck manifest = CheckNewestManifest(server.entries.back(), options.sample);
  for (const std::string& problem : manifest.problems) report.Problem(problem);
  for (const std::string& note : manifest.notes) report.Note(note);
  CheckBlockAddress(server.UpdateBlockAddr, options.url, report);
  return report.Finish(std::to_string(server.entries.size()) + " versions up to " +
                       Shown(server.entries.back().PackageCode) + ", " + std::to_string(files) + " files, " +
                       std::to_string(manifest.objectsChecked) + " objects, " +
                       std::to_string(manifest.deltasChecked) + " deltas" +
                       (key ? ", signed by the publisher"
                            : ", signature not checked (no --key): launchers without a key install whatever "
                              "the network gives them"));
}
