#pragma once
// Taking the launcher out of a game directory (the current directory): its
// own files go, and so do the files the installed release's manifest
// (kKeptManifest) lists while they still hold the listed content. What the
// player made or changed stays, with the reason: their own files, edited
// files, the settings files, links. The running program stays too: it
// cannot remove itself on Windows, and the uninstaller that runs it (or the
// player on Linux) removes it after. Links are never followed.
#include <cstddef>
#include <string>
#include <vector>

struct KeptFile {
  std::string name;  // as on disk, "/" between folders
  std::string why;
};

struct GameUninstall {
  // Why the game's files all stay (no installed manifest, or one that does
  // not read); empty when the manifest said which files are the release's.
  std::string gameFilesStay;
  std::size_t removed = 0;
  std::vector<KeptFile> kept;
  // Files that were to go and could not, with the reason.
  std::vector<KeptFile> failed;
};

GameUninstall UninstallGame();
