#pragma once
// A site that the installed farpublish makes from client builds, signed
// with the demo publisher's key and served on loopback: what the launchers
// of both platforms update from in the end-to-end tests.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/range_http_server.h"

namespace e2e {

// One client build: its files by "/"-separated UTF-8 name, with their bytes.
using BuildFiles = std::map<std::string, std::string>;

// Writes `builds` as 0001-1.0.1, 0002-1.0.2, ... under `scratch`/versions,
// builds `scratch`/site from them for `server`, which then serves every
// file of it, and a page (/autologin.html, the site's --web-addr) that logs
// in on server 3 once the update is done, as demo/server.py's does.
// Without `manifests` the document names none (signed again without them),
// so launchers walk the patches.
void PublishBuilds(const std::vector<BuildFiles>& builds, const std::filesystem::path& scratch,
                   RangeHttpServer& server, bool manifests = true);

}  // namespace e2e
