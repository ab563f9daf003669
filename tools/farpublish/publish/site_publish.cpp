#include "publish/site_publish.h"

#include "command_line.h"
#include "publish/folder_publishing.h"
#include "publish/publishing_order.h"
#include "publish/rsync_publishing.h"

namespace fs = std::filesystem;

bool ParsePublishOptions(const std::vector<std::string>& args, PublishOptions& options, std::string& error) {
  options = {};
  CommandLine line;
  if (!SplitCommandLine(args, {}, line, error)) return false;
  if (line.positional.size() != 2 || line.positional[1].empty()) {
    error = "publish takes SITE and DEST, a folder or an rsync destination (host:folder)";
    return false;
  }
  options.site = SiteFolder(line.positional[0]);
  options.destination = line.positional[1];
  return true;
}

namespace {

// A copy into SITE itself would be listed, and copied again, by the next run.
bool IsOutsideSite(const fs::path& site, const fs::path& destination, std::string& error) {
  const fs::path inside = SiteFolder(destination).lexically_relative(site);
  if (inside.empty() || *inside.begin() == "..") return true;
  error = destination.string() + " is " + site.string() + " or inside it: give a folder outside the site";
  return false;
}

}  // namespace

bool PublishSite(const PublishOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<PublishingBatch> batches;
  std::string error;
  const bool toRsync = IsRsyncDestination(options.destination);
  const bool published = (toRsync || IsOutsideSite(options.site, options.destination, error)) &&
                         PublishingOrder(options.site, batches, error) &&
                         (toRsync ? PublishWithRsync(options.site, batches, options.destination, out, error)
                                  : PublishToFolder(options.site, batches, options.destination, out, error));
  if (!published) err << "farpublish: " << error << "\n";
  return published;
}
