#pragma once
// What the server document says about a release: the entries and their
// items with the archives' addresses, hashes and sizes, the site settings
// and the full package.
#include <functional>
#include <string>

#include "build/build_options.h"
#include "trust/file_digest.h"
#include "build/release_manifests.h"
#include "build/release_plan.h"

// Makes a planned archive ready and gives its digest; false with the reason
// when it cannot.
using ArchivePreparer = std::function<bool(const ArchivePlan& archive, FileDigest& digest, std::string& error)>;

// Prepares every archive of the plan in document order and gives the
// document's text, each entry naming its release's manifest (`manifests`,
// one per entry). False with the reason when an archive cannot be prepared
// or a value cannot stand in the document.
bool SiteDocumentText(const ReleasePlan& plan, const std::vector<PublishedManifest>& manifests,
                      const BuildOptions& options, const ArchivePreparer& prepare, std::string& text,
                      std::string& error);
