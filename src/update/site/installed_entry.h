#pragma once
// What an install did to the game directory for one archive entry, so that
// it can be undone (PatchTransaction): written by InstallArchive and by the
// placing of a launcher's program (PlaceLauncherProgram).
#include <string>
#include <vector>

// What became of one chosen entry.
struct InstalledEntry {
  std::string name;          // as stored in the archive
  std::string writtenAs;     // the name as the disk spells it, where it was written
  std::string movedAsideAs;  // where the file in its way went; empty: none moved
  // The folders that did not exist before the entry was written, outermost
  // first (native paths relative to the game directory).
  std::vector<std::string> createdDirectories;
  bool extracted = false;  // the reader was given the entry's file: it (perhaps partial) may be there
  bool written = false;    // the reader wrote it without a failure
  bool skipped = false;    // a trust file in an unverified run: not written, no failure
};
