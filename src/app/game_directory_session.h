#pragma once
// The base library and farLaunch.log for one console command (--verify,
// --repair's check, --uninstall), in a game directory as a start leaves it:
// the entry a killed run was unpacking is put back (or, when recorded, its
// originals deleted) and what it left of saves goes, so that the command
// sees the game, not a half-done update.
class GameDirectorySession {
 public:
  GameDirectorySession();
  ~GameDirectorySession();
  GameDirectorySession(const GameDirectorySession&) = delete;
  GameDirectorySession& operator=(const GameDirectorySession&) = delete;

 private:
  bool ready_;
};
