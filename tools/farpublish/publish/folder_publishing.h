#pragma once
// A built site copied into a local folder (a web server's, a mounted CDN
// origin) in publishing order.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "publish/publishing_order.h"

// Copies each batch in turn, each file under a temporary name beside its
// place (".NAME.farpublish-part") and then renamed over it, so that a
// reader sees the old file or the whole new one. A file the destination
// already holds with the same bytes is left alone. Names each file copied
// on `out`, then a summary. Stops at the first failure, false with the
// reason; what follows it (the document above all) is not copied.
bool PublishToFolder(const std::filesystem::path& site, const std::vector<PublishingBatch>& batches,
                     const std::filesystem::path& destination, std::ostream& out, std::string& error);
