#include "app/installed_launcher.h"

#include <sys/wait.h>

#include <cstdio>

Outcome RunLauncher(const std::string& arguments, const std::string& environment) {
  const std::string command = environment + FARLAUNCH_INSTALL_DIR + "/farLaunch.exe " + arguments + " 2>&1";
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) outcome.output += buffer;
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

PatchSite::PatchSite() {
  site.Put("/p2.zip", MakeZip({{"data/new.txt", "new"}}));
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "1", "0001", {}},
                       ServerVersion{"1", "0", "2", "0002", {ServerItem{"normal", "p2.zip", site.Url("/p2.zip")}}}};
  site.Put("/servercfg.xml", document.Text());
  LocalVersion installed;
  installed.PackageCode = "0001";
  installed.UpdateServerAddr = site.Url("/servercfg.xml");
  dir.Write("updatecfg.xml", StoredVersionDocument(installed));
  dir.Write("client.exe", "client");
  dir.Write("rh_game.ini", "[farLaunch]\nAraeName=x\nForceUpdateVersion=1\n");
}

bool PatchSite::Updated() const {
  return dir.Read("data/new.txt") == "new" && ReadVersionDocument().find("PackageCode=\"0002\"") != std::string::npos;
}
