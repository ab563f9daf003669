#pragma once
// The order in which a copy of a site must arrive where players read it:
// a player who reads the new document finds everything it names.
#include <filesystem>
#include <string>
#include <vector>

// Files of the site that go over together, by "/"-separated relative name.
struct PublishingBatch {
  // What the batch holds, for messages ("objects", "the document").
  std::string what;
  std::vector<std::string> files;
  // Named by their content's hash: a file of that name at the destination
  // already holds the same bytes.
  bool namedByContent = false;
};

// SITE as given, absolute and without a trailing separator, so that the
// names below it come out relative to it.
std::filesystem::path SiteFolder(const std::filesystem::path& site);

// The site's regular files in batches: objects, deltas, manifests (each
// named by their hash), then the archives and any other file, then the
// document's signature, then the document itself. Empty batches are left
// out. False with the reason when SITE cannot be read or holds no
// document.
bool PublishingOrder(const std::filesystem::path& site, std::vector<PublishingBatch>& batches, std::string& error);
