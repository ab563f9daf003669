#include "e2e/published_site.h"

#include <gtest/gtest.h>

#include "e2e/e2e_harness.h"
#include "e2e/server3_launch.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

// Drops the document's Manifest elements and signs it again.
void LeaveOutTheManifests(const fs::path& site, const fs::path& farpublish, const fs::path& key,
                          const std::string& baseUrl, const fs::path& log) {
  std::string document = ReadFile(site / "servercfg.xml");
  for (std::size_t at = document.find("<Manifest "); at != std::string::npos; at = document.find("<Manifest ", at)) {
    document.erase(at, document.find('\n', at) + 1 - at);
  }
  WriteFile(site / "servercfg.xml", document);
  ASSERT_EQ(RunToEnd({{farpublish.string(), "resign", site.string(), "--key", key.string(), "--base-url", baseUrl},
                      site.parent_path(),
                      {},
                      log},
                     kPatience),
            0)
      << ReadFile(log);
}

}  // namespace

void PublishBuilds(const std::vector<BuildFiles>& builds, const fs::path& scratch, RangeHttpServer& server,
                   bool manifests) {
  const fs::path versions = scratch / "versions";
  for (std::size_t i = 0; i < builds.size(); ++i) {
    const fs::path folder = versions / ("000" + std::to_string(i + 1) + "-1.0." + std::to_string(i + 1));
    for (const auto& [name, content] : builds[i]) {
      fs::create_directories((folder / fs::u8path(name)).parent_path());
      WriteFile(folder / fs::u8path(name), content);
    }
  }
  const fs::path site = scratch / "site";
  const fs::path log = scratch / "farpublish.txt";
  const fs::path source = FARLAUNCH_SOURCE_DIR;
  const fs::path farpublish = fs::path(E2E_INSTALL_DIR) / "tools/farpublish";
  const fs::path key = source / "demo/demo-publisher.key";
  ASSERT_EQ(RunToEnd({{farpublish.string(), "build", versions.string(), site.string(), "--base-url", server.Url(""),
                       "--web-addr", server.Url("/autologin.html"), "--sign", key.string()},
                      scratch,
                      {},
                      log},
                     kPatience),
            0)
      << ReadFile(log);
  if (!manifests) LeaveOutTheManifests(site, farpublish, key, server.Url(""), log);
  // The site's folders (manifests/, objects/) are served as they stand.
  for (const auto& entry : fs::recursive_directory_iterator(site)) {
    if (!entry.is_regular_file()) continue;
    server.Put("/" + fs::relative(entry.path(), site).generic_string(), ReadFile(entry.path()));
  }
  server.Put("/news.html", "<html><body><p>News</p></body></html>");
  // As demo/server.py's /autologin/demo/3: the launch waits for the update.
  server.Put("/autologin.html", "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n"
                                "<p>Welcome, demo.</p>\n<p>ServerBackUrl{{" + server.Url("/news.html") +
                                    "}}</p>\n<p>RunClient[[" + kServer3Record + "]]</p>\n</body></html>\n");
}

}  // namespace e2e
