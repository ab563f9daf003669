#include "app/game_options.h"

#include "base/ini/ox_ini.h"
#include "update/site/game_files.h"

namespace {

const char* const kGameIni = "rh_game.ini";
const char* const kSection = "farLaunch";
const char* const kForceKey = "ForceUpdateVersion";
// KiB per second; absent or 0: no limit.
const char* const kRateLimitKey = "DownloadRateLimit";

}  // namespace

void ReadGameOptions(LauncherState& state) {
  ox_base::OxIni ini;
  // Asked first: the base library logs a file it cannot open as an error.
  if (!FileExists(kGameIni) || !ini.LoadFile(kGameIni)) {
    return;
  }
  state.AraeName = ini.GetText(kSection, "AraeName");
  std::int32_t kibPerSecond = 0;
  if (ini.GetInt(kSection, kRateLimitKey, kibPerSecond) && kibPerSecond > 0) {
    state.downloadRateLimit = static_cast<std::uint64_t>(kibPerSecond) * 1024;
  }
  if (!ini.FindSection(kSection)) {
    ini.AddSection(kSection);
    state.ForceUpdateVersion = 1;
    ini.AddInt(kSection, kForceKey, 1);
    ini.SaveFile(kGameIni, true);
    return;
  }
  std::int32_t stored = 0;
  if (ini.GetInt(kSection, kForceKey, stored)) {
    state.ForceUpdateVersion = stored;
  } else if (FileExists("QZ_game.pkg")) {
    state.ForceUpdateVersion = 1;
    ini.AddInt(kSection, kForceKey, 1);
    ini.SaveFile(kGameIni, true);
  }
}

void MarkPackageSeen(LauncherState& state) {
  state.ForceUpdateVersion = 1;
  ox_base::OxIni ini;
  // A file that is there but does not parse is left as it is rather than
  // replaced by what little of it was understood.
  if (!ini.LoadFile(kGameIni) && FileExists(kGameIni)) {
    return;
  }
  ini.SetInt(kSection, kForceKey, 1, false);
  ini.SaveFile(kGameIni, true);
}

std::string InstallerTag(const std::string& setUpName) {
  const std::size_t underscore = setUpName.find('_');
  const std::size_t begin = underscore == std::string::npos ? 0 : underscore + 1;
  const std::size_t end = setUpName.find(".tmp", begin);
  return setUpName.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

void ReadInstallerTag(LauncherState& state) {
  if (!FileExists("cfg.ini")) {
    return;
  }
  ox_base::OxIni ini;
  if (ini.LoadFile("cfg.ini")) {
    state.pos = InstallerTag(ini.GetText("Startup Options", "SetUpName"));
  }
}
