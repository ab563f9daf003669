#include <chrono>
#include <optional>
#include <string>

#include "base/ox_base.h"
#include "base/ox_file.h"

#include "net/http_downloader.h"
#include "update/document_signature.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/signing_time_record.h"
#include "update/update_workflow.h"
#include "xml/base64.h"

namespace {

// The fetch runs on the UI thread and is retried eleven times by the
// status timer: a silent server must not hold the start for more than
// about two minutes, nor a huge answer (a wrong address, a proxy's page)
// fill the memory, nor a trickling one hold it past its deadline. It is
// small: never resumed, and no retry within the call holds the window.
const DownloadOptions kServerDocumentFetch{std::chrono::seconds(10), 4 * 1024 * 1024, {},
                                           false, RetryPolicy::None(), {}, 0, kDocumentFetchDeadline};

const char kWhat[] = "server document";

bool Failed(const LauncherState& state, const std::string& reason) {
  LogFailure(kWhat, state.UpdateServerAddr, reason);
  return false;
}

// The trust anchor is read once per run, and a run without one says so once.
const TrustAnchor& TrustAnchorOf(LauncherState& state) {
  if (!state.trust) {
    state.trust = LoadTrustAnchor(kBuiltInPublisherKey);
    if (!state.trust->Verified()) {
      LogFailure("updates", "",
                 std::string("not verified: no publisher key is built in and the game directory has no ") +
                     kPublisherKeyFile + "; whoever answers in place of the update site can install anything. " +
                     "Build the key in with FARLAUNCH_PUBLISHER_KEY, or ship " + kPublisherKeyFile +
                     " in the client that players install by hand");
    }
  }
  return *state.trust;
}

}  // namespace

bool DownloadServerDocument(const std::string& address, platform::MessageTarget& window, std::string& plain,
                            std::string& reason) {
  const DownloadResult download =
      HttpDownloader::DownloadFile(address, kDownloadedServerDocument, window, kServerDocumentFetch);
  const bool read = download && ReadGameFile(kDownloadedServerDocument, plain);
  DeleteFileIfPresent(kDownloadedServerDocument);
  if (!download) {
    reason = download.reason;
  } else if (!read) {
    reason = "the downloaded document cannot be read back";
  }
  return download && read;
}

bool FetchServerDocument(LauncherState& state, platform::Platform& platform) {
  const TrustAnchor& trust = TrustAnchorOf(state);
  if (!trust.problem.empty()) {
    return Failed(state, trust.problem);
  }
  // Nothing reads the document before it is checked: it arrives under a
  // name of its own and only an accepted one is stored.
  std::string plain;
  std::string reason;
  if (!DownloadServerDocument(state.UpdateServerAddr, platform.GetUiThread(), plain, reason)) {
    return Failed(state, reason);
  }
  std::optional<SigningRecord> accepted;
  if (trust.key && !AcceptSignedDocument(state.UpdateServerAddr, platform.GetUiThread(), *trust.key, plain, accepted)) {
    return false;
  }
  // Stored Base64-encoded; the save replaces the file as a whole. The base
  // library logs why a save fails.
  if (!ox_base::OxBase::GetFileSystem()->ReplaceContents(kServerDocument, Base64Encode(plain), false)) {
    return Failed(state, std::string(kServerDocument) + " cannot be stored");
  }
  if (accepted && !RecordSigning(*accepted)) {
    return Failed(state, std::string(kSigningTimeRecord) + " cannot be saved");
  }
  return true;
}

bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason) {
  CXMLFile document;
  // A captive portal's or a proxy's page, or an empty answer, is no server
  // document: the fetch is tried again.
  if (!document.LoadText(text, raw)) {
    reason = "the answer is not a readable document";
    return false;
  }
  document.ReadConfig();
  server = ServerConfigOf(document);
  if (server.entries.empty()) {
    reason = "the document lists no version";
    return false;
  }
  return true;
}

bool LoadServerDocument(LauncherState& state) {
  if (!FileExists(kServerDocument)) {
    return Failed(state, std::string(kServerDocument) + " is missing");
  }
  std::string stored;
  ServerConfig server;
  std::string reason;
  if (!ReadGameFile(kServerDocument, stored)) stored.clear();
  if (!ReadServerDocument(stored, false, server, reason)) {
    return Failed(state, reason);
  }
  state.entries.insert(state.entries.end(), server.entries.begin(), server.entries.end());
  state.pageUrl = server.WebAddr;
  if (!state.pos.empty()) {
    state.pageUrl += "?pos=" + state.pos;
  }
  state.WebAddr1 = server.WebAddr1;
  state.DumpFtpServer = server.DumpFtpServer;
  state.DumpFtpServerPort = server.DumpFtpServerPort;
  state.UpdateBlockAddr = server.UpdateBlockAddr;
  state.MiniType = server.MiniType;
  state.MiniTargetFileName = server.MiniTargetFileName;
  state.MiniSourceFileAddr = server.MiniSourceFileAddr;
  state.MiniSourceFileCheck = server.MiniSourceFileCheck;
  return true;
}
