#pragma once
// The installed farLaunch.exe as a program: run in the current directory
// (a test's game directory), and a game directory with a patch to install.
#include <string>

#include "update/update_fixture.h"

struct Outcome {
  int status = -1;
  std::string output;
};

constexpr char kWithoutDisplay[] = "env -u DISPLAY -u WAYLAND_DISPLAY ";
constexpr char kWithTheDisplay[] = "";

// Runs the installed launcher in the current directory; `environment`
// prefixes the command.
Outcome RunLauncher(const std::string& arguments, const std::string& environment = kWithoutDisplay);

// A game directory at package 0001 with a local site offering 0002.
class PatchSite {
 public:
  PatchSite();
  // The patch is installed and recorded.
  bool Updated() const;

  GameDirectory dir;
  RecordingHttpServer site;
};
