#pragma once
// A real HTTP update server on loopback serving what a test puts there.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class UpdateSite {
 public:
  UpdateSite();
  ~UpdateSite();

  // Serves `body` at `path` (e.g. "/servercfg.xml"); other paths give 404.
  void Put(const std::string& path, const std::string& body);
  // The full address of a path on this server.
  std::string Url(const std::string& path) const;
  // How many requests the path has had.
  int Hits(const std::string& path) const;

 private:
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex lock_;
  std::map<std::string, std::string> bodies_;
  std::map<std::string, int> hits_;
};

// A server document as the publisher writes it.
struct ServerItem {
  std::string Type;
  std::string TargetFileName;
  std::string SourceFileAddr;
};
struct ServerVersion {
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::vector<ServerItem> items;
};
struct ServerDocument {
  std::vector<ServerVersion> versions;
  // Site-wide attributes (WebAddr, UpdateBlockAddr, MiniSourceFileAddr ...).
  std::map<std::string, std::string> site;
  std::string Text() const;
};
