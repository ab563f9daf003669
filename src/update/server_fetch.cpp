#include "update/server_fetch.h"

#include <optional>
#include <string>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "update/site/document_download.h"
#include "update/site/document_signature.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/site/signing_time_record.h"
#include "update/site/update_documents.h"
#include "update/staged_rollout.h"
#include "xml/base64.h"

namespace {

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
