#pragma once
// The command line of farLaunch.exe, for support staff, scripts and tests.
#include <string>
#include <vector>

struct LaunchOptions {
  bool headless = false;
  bool exitOnFinish = false;
  bool help = false;
  bool version = false;
  // Check the installed game's files against its release's manifest and end.
  bool verify = false;
  // The same check, then the damaged and missing files fetched from the
  // newest release on the console.
  bool repair = false;
  // Take the launcher and the release's unchanged files out of the game
  // directory, keeping the player's.
  bool uninstall = false;
};

// Reads the arguments after the program name. An argument may hold several
// options separated by spaces: a restart hands them over as one argument.
// False, with `error` set, for anything unknown.
bool ParseLaunchOptions(const std::vector<std::string>& arguments, LaunchOptions& options, std::string& error);

// The options to hand to the launcher started again after a restart.
std::string RestartParameters(const LaunchOptions& options);

// The --help text.
const char* UsageText();
