#include <fstream>
#include <iterator>

#include "net/http_downloader.h"
#include "update/game_files.h"
#include "update/update_workflow.h"
#include "xml/base64.h"

bool FetchServerDocument(LauncherState& state, platform::Platform& platform) {
  if (!HttpDownloader::DownloadFile(state.UpdateServerAddr, kServerDocument, platform.GetUiThread())) {
    return false;
  }
  std::string plain;
  {
    std::ifstream in(kServerDocument, std::ios::binary);
    if (!in) {
      return true;
    }
    plain.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::ofstream out(kServerDocument, std::ios::binary | std::ios::trunc);
  out << Base64Encode(plain);
  return true;
}

bool LoadServerDocument(LauncherState& state) {
  if (!FileExists(kServerDocument)) {
    return false;
  }
  CXMLFile document;
  // A damaged document yields what the scan finds in it, possibly nothing.
  document.Load(kServerDocument, false);
  document.ReadConfig();
  const ServerConfig server = ServerConfigOf(document);
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
