#include "document/password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace {

// Turns the terminal's echo off for its lifetime.
class EchoOff {
 public:
  EchoOff() : active_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios quiet = saved_;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_;
};

std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

std::optional<std::string> ReadPassword(const std::string& prompt) {
  if (isatty(STDIN_FILENO) == 0) return ReadLine();
  std::cerr << prompt << std::flush;
  const EchoOff echoOff;
  return ReadLine();
}
