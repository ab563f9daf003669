#include <chrono>
#include <string>
#include <utility>

#include "base/ox_base.h"
#include "base/ox_file.h"

#include "net/http_downloader.h"
#include "update/failure_log.h"
#include "update/game_files.h"
#include "update/update_workflow.h"
#include "xml/base64.h"

namespace {

// The fetch runs on the UI thread and is retried eleven times: a silent
// server must not hold the start for more than about two minutes, nor a
// huge answer (a wrong address, a proxy's page) fill the memory.
const DownloadOptions kServerDocumentFetch{std::chrono::seconds(10), 4 * 1024 * 1024};

const char kWhat[] = "server document";

bool Failed(const LauncherState& state, const std::string& reason) {
  LogFailure(kWhat, state.UpdateServerAddr, reason);
  return false;
}

}  // namespace

bool FetchServerDocument(LauncherState& state, platform::Platform& platform) {
  const DownloadResult download =
      HttpDownloader::DownloadFile(state.UpdateServerAddr, kServerDocument, platform.GetUiThread(), kServerDocumentFetch);
  if (!download) {
    return Failed(state, download.reason);
  }
  // Stored Base64-encoded in place; the save replaces the file as a whole.
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  ox_base::OxArchivePtr plain = fileSystem->OpenMemory(kServerDocument, ox_base::OX_READ_QUIET);
  if (!plain) {
    return Failed(state, "the downloaded document cannot be read back");
  }
  std::string bytes(static_cast<std::size_t>(plain->GetSize()), '\0');
  if (!bytes.empty()) {
    plain->Serialize(&bytes[0], static_cast<int>(bytes.size()));
  }
  fileSystem->Close(std::move(plain));
  // The base library logs why a save fails.
  if (!fileSystem->ReplaceContents(kServerDocument, Base64Encode(bytes), false)) {
    return Failed(state, std::string(kServerDocument) + " cannot be stored");
  }
  return true;
}

bool LoadServerDocument(LauncherState& state) {
  if (!FileExists(kServerDocument)) {
    return Failed(state, std::string(kServerDocument) + " is missing");
  }
  CXMLFile document;
  // A captive portal's or a proxy's page, or an empty answer, is no server
  // document: the fetch is tried again.
  if (!document.Load(kServerDocument, false)) {
    return Failed(state, "the answer is not a readable document");
  }
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);
  if (server.entries.empty()) {
    return Failed(state, "the document lists no version");
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
  return true;
}
