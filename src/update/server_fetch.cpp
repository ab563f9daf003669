#include <string>
#include <utility>

#include "base/ox_base.h"
#include "base/ox_file.h"

#include "net/http_downloader.h"
#include "update/game_files.h"
#include "update/update_workflow.h"
#include "xml/base64.h"

bool FetchServerDocument(LauncherState& state, platform::Platform& platform) {
  if (!HttpDownloader::DownloadFile(state.UpdateServerAddr, kServerDocument, platform.GetUiThread())) {
    return false;
  }
  // Stored Base64-encoded in place; the save replaces the file as a whole,
  // so a failure leaves the document as downloaded.
  ox_base::OxFile* fileSystem = ox_base::OxBase::GetFileSystem();
  ox_base::OxArchivePtr plain = fileSystem->OpenMemory(kServerDocument, ox_base::OX_READ_QUIET);
  if (!plain) {
    return true;
  }
  std::string bytes(static_cast<std::size_t>(plain->GetSize()), '\0');
  if (!bytes.empty()) {
    plain->Serialize(&bytes[0], static_cast<int>(bytes.size()));
  }
  fileSystem->Close(std::move(plain));
  fileSystem->ReplaceContents(kServerDocument, Base64Encode(bytes), false);
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
