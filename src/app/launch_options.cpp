#include "app/launch_options.h"

#include <sstream>

bool ParseLaunchOptions(const std::vector<std::string>& arguments, LaunchOptions& options, std::string& error) {
  for (const std::string& argument : arguments) {
    std::istringstream words(argument);
    std::string option;
    while (words >> option) {
      if (option == "--headless") {
        options.headless = true;
      } else if (option == "--exit-on-finish") {
        options.exitOnFinish = true;
      } else if (option == "--help") {
        options.help = true;
      } else if (option == "--version") {
        options.version = true;
      } else if (option == "--verify") {
        options.verify = true;
      } else if (option == "--repair") {
        options.repair = true;
      } else if (option == "--uninstall") {
        options.uninstall = true;
      } else {
        error = "unknown option: " + option;
        return false;
      }
    }
  }
  return true;
}

std::string RestartParameters(const LaunchOptions& options) {
  std::string parameters;
  if (options.headless) parameters += "--headless";
  if (options.exitOnFinish) parameters += parameters.empty() ? "--exit-on-finish" : " --exit-on-finish";
  // A repair that replaced the launcher on its way checks again in the new one.
  if (options.repair) parameters += parameters.empty() ? "--repair" : " --repair";
  return parameters;
}

const char* UsageText() {
  return "Usage: farLaunch.exe [--headless] [--exit-on-finish] [--verify] [--repair]\n"
         "                     [--uninstall] [--help] [--version]\n"
         "Brings the game in the current directory up to date and starts it from the news page.\n"
         "  --headless        run on the console even when a display is present\n"
         "  --exit-on-finish  end when the update completes or stops for good\n"
         "                    instead of waiting for the page\n"
         "  --verify          check every file of the installed release against its\n"
         "                    manifest, print the damaged and missing ones and end\n"
         "                    (no window, no update); status 0 when all match\n"
         "  --repair          the same check; then, on the console, fetches the\n"
         "                    damaged and missing files from the newest release\n"
         "                    (updating the game to it when it is behind) and\n"
         "                    checks again; status 0 when all match then. A file\n"
         "                    the player edits that the release lists (cfg.ini ...)\n"
         "                    is put back as the release has it when it differs\n"
         "                    from the installed release's manifest\n"
         "  --uninstall       remove the launcher's files and the installed release's\n"
         "                    files that are as it installed them; the player's\n"
         "                    files, changed files and settings stay (each named\n"
         "                    with the reason), and so does farLaunch.exe itself\n"
         "  --help            show this text\n"
         "  --version         show the launcher's version\n"
         "On the console the exit status is 0 when the update completed or the game\n"
         "was started, 1 when the launcher ended on a failure, 2 for a usage error.\n";
}
