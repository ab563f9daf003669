#include "update/update_site.h"

#include <httplib.h>

UpdateSite::UpdateSite() : server_(std::make_unique<httplib::Server>()) {
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> guard(lock_);
    hits_[request.path] += 1;
    const auto found = bodies_.find(request.path);
    if (found == bodies_.end()) {
      response.status = 404;
      return;
    }
    response.set_content(found->second, "application/octet-stream");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) {
    std::this_thread::yield();
  }
}

UpdateSite::~UpdateSite() {
  server_->stop();
  thread_.join();
}

void UpdateSite::Put(const std::string& path, const std::string& body) {
  std::lock_guard<std::mutex> guard(lock_);
  bodies_[path] = body;
}

std::string UpdateSite::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int UpdateSite::Hits(const std::string& path) const {
  std::lock_guard<std::mutex> guard(lock_);
  const auto found = hits_.find(path);
  return found == hits_.end() ? 0 : found->second;
}

std::string ServerDocument::Text() const {
  std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<Update>\n";
  for (const ServerVersion& v : versions) {
    text += "<GameVersion MainVersion=\"" + v.MainVersion + "\" SubVersion=\"" + v.SubVersion + "\" FileVersion=\"" +
            v.FileVersion + "\" PackageCode=\"" + v.PackageCode + "\" ProductName=\"fog\" UpdateVersion=\"1\">\n";
    for (const ServerItem& item : v.items) {
      text += "<File Type=\"" + item.Type + "\" TargetFileName=\"" + item.TargetFileName + "\" SourceFileAddr=\"" +
              item.SourceFileAddr + "\"></File>\n";
    }
    text += "</GameVersion>\n";
  }
  text += "<Site";
  for (const auto& [key, value] : site) {
    text += " " + key + "=\"" + value + "\"";
  }
  text += "></Site>\n</Update>\n";
  return text;
}
