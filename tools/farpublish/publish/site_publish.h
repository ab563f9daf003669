#pragma once
// "farpublish publish": copies a built site to where players read it, in
// an order that never shows them a document before what it names.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

struct PublishOptions {
  std::filesystem::path site;
  // A local folder, or an rsync destination ("host:folder").
  std::string destination;
};

// Reads the arguments that follow "publish": SITE and DEST. False with the
// reason for a usage error.
bool ParsePublishOptions(const std::vector<std::string>& args, PublishOptions& options, std::string& error);

// Copies SITE to DEST in publishing order (publishing_order.h), into a
// folder or by rsync. Progress on `out`, the reason it stops on `err`.
// False when it failed.
bool PublishSite(const PublishOptions& options, std::ostream& out, std::ostream& err);
