#include <chrono>
#include <optional>
#include <string>

#include "base/ox_base.h"
#include "base/ox_file.h"

#include "net/http_downloader.h"
#include "update/site/document_signature.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/signing_time_record.h"
#include "update/staged_rollout.h"
#include "update/update_workflow.h"
#include "xml/base64.h"

namespace {

// The fetch is retried eleven times by the status timer: a silent server
// must not hold the start for more than about two minutes, nor a huge
// answer (a wrong address, a proxy's page) fill the memory, nor a
// trickling one hold it past its deadline. It is small: never resumed, and
// retried by the timer only.
const DownloadOptions kServerDocumentFetch{std::chrono::seconds(10), 4 * 1024 * 1024, {},
                                           false, RetryPolicy::None(), {}, 0, kDocumentFetchDeadline};

const char kWhat[] = "server document";

bool Failed(const std::string& address, const std::string& reason) {
  LogFailure(kWhat, address, reason);
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

bool AcceptServerDocument(const std::string& address, LauncherState& state, platform::Platform& platform,
                          AcceptedDocument& accepted) {
  const TrustAnchor& trust = TrustAnchorOf(state);
  if (!trust.problem.empty()) {
    return Failed(address, trust.problem);
  }
  // Nothing reads the document before it is checked: it arrives under a
  // name of its own and is not stored here.
  std::string reason;
  if (!DownloadServerDocument(address, platform.GetUiThread(), accepted.plain, reason)) {
    return Failed(address, reason);
  }
  if (trust.key && !AcceptSignedDocument(address, platform.GetUiThread(), *trust.key, accepted.plain, accepted.signing)) {
    return false;
  }
  ServerConfig server;
  if (!ReadServerDocument(accepted.plain, true, server, reason)) {
    return Failed(address, reason);
  }
  return true;
}

bool FetchServerDocument(LauncherState& state, platform::Platform& platform) {
  AcceptedDocument accepted;
  if (!AcceptServerDocument(state.UpdateServerAddr, state, platform, accepted)) {
    return false;
  }
  // Stored Base64-encoded; the save replaces the file as a whole. The base
  // library logs why a save fails.
  if (!ox_base::OxBase::GetFileSystem()->ReplaceContents(kServerDocument, Base64Encode(accepted.plain), false)) {
    return Failed(state.UpdateServerAddr, std::string(kServerDocument) + " cannot be stored");
  }
  if (accepted.signing && !RecordSigning(*accepted.signing)) {
    return Failed(state.UpdateServerAddr, std::string(kSigningTimeRecord) + " cannot be saved");
  }
  return true;
}

bool ReadServerDocument(const std::string& text, bool raw, ServerConfig& server, std::string& reason) {
  CXMLFile document;
  // The dialect's tree does not load every document publishers write (item
  // elements closed by "/>" are common): the flat scan reads them as it
  // always did. Only an answer without one of the document's keys (a
  // captive portal's or a proxy's page, an empty answer) is no server
  // document: the fetch is tried again.
  document.LoadText(text, raw);
  if (document.ReadConfig() == 0) {
    reason = "the answer holds none of the server document's keys";
    return false;
  }
  server = ServerConfigOf(document);
  return true;
}

bool LoadServerDocument(LauncherState& state) {
  if (!FileExists(kServerDocument)) {
    return Failed(state.UpdateServerAddr, std::string(kServerDocument) + " is missing");
  }
  std::string stored;
  ServerConfig server;
  std::string reason;
  if (!ReadGameFile(kServerDocument, stored)) stored.clear();
  if (!ReadServerDocument(stored, false, server, reason)) {
    return Failed(state.UpdateServerAddr, reason);
  }
  state.entries.insert(state.entries.end(), server.entries.begin(), server.entries.end());
  HoldBackStagedRelease(state);
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
