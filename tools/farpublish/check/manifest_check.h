#pragma once
// The newest release's manifest and the objects it names, fetched as
// launchers fetch them.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "xml/xml_config.h"

struct ManifestCheck {
  std::vector<std::string> problems;
  // Worth knowing, and not wrong in itself.
  std::vector<std::string> notes;
  std::size_t objectsChecked = 0;
  std::size_t deltasChecked = 0;
};

// Fetches the manifest `newest` names against its Digest and Bytes, reads
// it and holds the names it lists to the naming rules
// (ReleaseNameProblems); then fetches every object it names (each content
// once), or `sample` of them picked at random, against its stored size and
// SHA-256, and decodes a zstd object against its content's; and every
// delta it lists (or `sample` of them) against its stored size and
// SHA-256; the same objects and deltas from each mirror the entry names.
// Downloads land in the current folder and are removed.
ManifestCheck CheckNewestManifest(const VersionEntry& newest, std::optional<std::size_t> sample);
