#pragma once
// Release manifests as the launcher and the publisher's check take them:
// a frame downloaded from the site (its bytes checked against the
// document's Digest and Bytes while they arrived), and the copy of the
// installed release's manifest a game directory keeps.
#include <filesystem>
#include <string>

#include "manifest/release_manifest.h"
#include "xml/xml_config.h"

// The installed release's manifest, in the game directory, as ManifestText
// writes it.
constexpr char kKeptManifest[] = "farLaunch.manifest";

// What the manifest's download must be: the link's Digest and Bytes.
FileCheck ManifestDownloadCheck(const ManifestLink& link);

// Decodes the frame in `file` (within a bound far above any game's
// manifest) and reads the manifest it holds. False with the reason.
bool ReadManifestFrame(const std::filesystem::path& file, ReleaseManifest& manifest, std::string& problem);

// Reads the manifest's text in `file` (within the same bound). False with
// the reason.
bool ReadManifestText(const std::filesystem::path& file, ReleaseManifest& manifest, std::string& problem);
