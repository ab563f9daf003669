#include <chrono>
#include <fstream>
#include <iterator>

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
  std::string plain;
  {
    std::ifstream in(kServerDocument, std::ios::binary);
    if (!in) {
      return Failed(state, "the downloaded document cannot be read back");
    }
    plain.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string problem;
  if (!WriteGameFile(kServerDocument, Base64Encode(plain), problem)) {
    return Failed(state, std::string(kServerDocument) + " cannot be stored: " + problem);
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
