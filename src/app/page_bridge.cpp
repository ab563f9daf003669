#include "app/page_bridge.h"

#include "base/ox_split_string.h"
#include "update/launcher_messages.h"
#include "update/self_update.h"

namespace {

constexpr std::size_t kLaunchRecordFields = 13;

// A request counts only when its marker occurs after the first character.
bool HasRequest(const std::string& text, const char* marker) {
  const std::size_t at = text.find(marker);
  return at != std::string::npos && at > 0;
}

// The text between the first `open` and the first `close` of the whole
// text; empty when either is missing or they are out of order.
std::string Enclosed(const std::string& text, const char* open, const char* close) {
  const std::size_t start = text.find(open);
  const std::size_t end = text.find(close);
  if (start == std::string::npos || end == std::string::npos) {
    return std::string();
  }
  const std::size_t begin = start + std::char_traits<char>::length(open);
  return end > begin ? text.substr(begin, end - begin) : std::string();
}

}  // namespace

void HandlePageRequest(LauncherState& state, platform::Platform& platform, const std::string& pageText) {
  if (HasRequest(pageText, "ServerBackUrl") && !state.updateFinished) {
    // Park the whole text: the timer replays it once the update is done.
    state.pendingWebRequest = pageText;
    const std::string address = Enclosed(pageText, "{{", "}}");
    platform.GetWebPanel().Navigate(address.empty() ? state.pageUrl : address);
    return;
  }
  if (!HasRequest(pageText, "RunClient")) {
    return;
  }
  const std::string record = Enclosed(pageText, "[[", "]]");
  if (record.empty()) {
    return;
  }
  std::vector<std::string> fields;
  ox_base::SplitString(record, ";", fields, false);
  if (fields.size() < kLaunchRecordFields) {
    platform.GetDialogs().ShowMessage(Text(LauncherText::LauncherVersionWrong));
    return;
  }
  if (fields[5].empty() || fields[6].empty()) {
    return;
  }
  LaunchClient(state, platform, fields);
}

std::string ClientParameters(const LauncherState& state, const std::vector<std::string>& f) {
  return "ur" + std::string(";ip=") + f[5] + ";port=" + f[6] + ";areaname=" + f[4] + ";tx_ip=" + f[10] +
         ";LT=" + state.LoginServer + ";UNAME=" + f[0] + ";SERIAL=" + f[1] + ";UID=" + f[2] + ";SERVERID=" + f[3] +
         ";SERVERNAME=" + f[4] + ";PayUrl=" + f[7] + ";Server=" + f[8] + ";Qid=" + f[9] + ";ClientUrl=" + f[11] +
         ";CurServerID=" + f[12];
}

void LaunchClient(LauncherState& state, platform::Platform& platform, const std::vector<std::string>& record) {
  const std::string parameters = ClientParameters(state, record);
  CleanMovedAsideFiles();
  CleanTempFiles();
  platform.GetShell().StartProgram(".\\client.exe", parameters);
  platform.GetSystem().Exit(0);
}
