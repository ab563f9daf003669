#include "publishing_order.h"

#include <algorithm>
#include <system_error>

#include "server_document.h"

namespace fs = std::filesystem;

namespace {

constexpr char kSignatureSuffix[] = ".minisig";

}  // namespace

fs::path SiteFolder(const fs::path& site) {
  fs::path path = fs::absolute(site).lexically_normal();
  if (!path.has_filename() && path.has_parent_path()) path = path.parent_path();
  return path;
}

bool PublishingOrder(const fs::path& site, std::vector<PublishingBatch>& batches, std::string& error) {
  const std::string document = kServerDocumentName;
  const std::string signature = document + kSignatureSuffix;
  std::vector<PublishingBatch> order = {{"objects", {}, true},        {"deltas", {}, true},
                                        {"manifests", {}, true},      {"archives and other files", {}, false},
                                        {"the signature", {}, false}, {"the document", {}, false}};
  std::error_code failure;
  fs::recursive_directory_iterator it(site, failure);
  for (; !failure && it != fs::recursive_directory_iterator(); it.increment(failure)) {
    const fs::file_status status = it->symlink_status(failure);
    if (failure) break;
    if (!fs::is_regular_file(status)) continue;
    const std::string name = it->path().lexically_relative(site).generic_string();
    const std::string top = name.substr(0, name.find('/'));
    std::size_t batch = 3;
    if (top == "objects") batch = 0;
    if (top == "deltas") batch = 1;
    if (top == "manifests") batch = 2;
    if (name == signature) batch = 4;
    if (name == document) batch = 5;
    order[batch].files.push_back(name);
  }
  if (failure) {
    error = "cannot read " + site.string() + ": " + failure.message();
    return false;
  }
  if (order.back().files.empty()) {
    error = site.string() + " holds no " + document + ": it is no built site";
    return false;
  }
  batches.clear();
  for (PublishingBatch& batch : order) {
    std::sort(batch.files.begin(), batch.files.end());
    if (!batch.files.empty()) batches.push_back(std::move(batch));
  }
  return true;
}
