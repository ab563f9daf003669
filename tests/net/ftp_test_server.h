#pragma once
// A real FTP server (pyftpdlib under Debian's /usr/bin/python3) on a free
// loopback port, serving `home` as the dump account's login directory.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/temp_dir.h"

class FtpTestServer {
 public:
  explicit FtpTestServer(const std::filesystem::path& home) {
    const std::filesystem::path portFile = home.parent_path() / (home.filename().string() + ".port");
    const std::string command = std::string("/usr/bin/python3 ") + FARLAUNCH_SOURCE_DIR +
                                "/tests/net/ftp_test_server.py '" + home.string() + "' '" + portFile.string() + "'";
    // The pipe is the server's standard input: closing it ends the server.
    process_ = popen(command.c_str(), "w");
    if (process_ == nullptr) throw std::runtime_error("cannot start " + command);
    for (int waited = 0; !std::filesystem::exists(portFile); ++waited) {
      if (waited == 1000) throw std::runtime_error("FTP server did not start: " + command);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    port_ = std::stoi(ReadFile(portFile));
  }

  ~FtpTestServer() { pclose(process_); }

  int Port() const { return port_; }

 private:
  FILE* process_ = nullptr;
  int port_ = 0;
};
