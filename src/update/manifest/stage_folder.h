#pragma once
// The stage folder (kStageFolder): what an update straight to the newest
// release fetched waits there until the install, one file per content named
// by the content's SHA-256, decoded from its object or made by its delta.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "manifest/release_manifest.h"
#include "update/site/game_files.h"

// A manifest the update fetched waits in the stage under its SHA-256 and
// this suffix.
constexpr char kStagedManifestSuffix[] = ".manifest";

// The staged content `sha256` (code page name, below kStageFolder).
std::string StagedName(const std::string& sha256);

// Where a name below kStageFolder (StagedName and what is beside it) is on
// disk. The stage's names are the launcher's own, spelled as it wrote them:
// no folder is read to find their letter case, which would read the stage
// once per file staged.
std::filesystem::path StagePath(const std::string& name);

// Decodes `download` (code page name), the record's object or, with
// `deltaSource`, a delta to its content from that content, into the
// record's staged file, and removes it. False with the reason.
bool StageDownload(const ManifestFile& record, const std::string& download, std::optional<std::string_view> deltaSource,
                   std::string& problem);

// Removes the stage folder and what it holds.
void RemoveStage();
