#pragma once
// A release's manifest: every file the release installs, with its content's
// size and SHA-256 and the object of the site that carries that content.
#include <cstdint>
#include <string>
#include <vector>

// The manifest format this code reads and writes (the Format a server
// document gives beside the manifest's address).
constexpr char kManifestFormat[] = "1";

// How an object is stored on the site: the content itself, or one zstd
// frame of it. A content that is itself a zstd frame is stored raw or
// compressed again, never taken for a frame to decode.
enum class StoredForm { Raw, Zstd };

// A delta (zstd_delta.h) the site holds from an older content of a file
// to the content its record gives.
struct ManifestDelta {
  std::string sourceSha256;  // of the older content
  std::uint64_t storedSize = 0;
  std::string storedSha256;  // of the delta's bytes
};

struct ManifestFile {
  // Relative to the game directory, "/" between folders, UTF-8 (as the file
  // is named on disk and in the archives).
  std::string name;
  std::uint64_t size = 0;
  std::string sha256;  // of the content, 64 lower-case hex digits
  StoredForm form = StoredForm::Raw;
  std::uint64_t storedSize = 0;
  std::string storedSha256;  // of the object's bytes
  // Each from another source, none from this content.
  std::vector<ManifestDelta> deltas;
};

struct ReleaseManifest {
  std::string packageCode;
  // The absolute address of the site's objects/ folder, ending in "/".
  std::string objectsBase;
  // By name in byte order, each name once.
  std::vector<ManifestFile> files;
  // The absolute address of the site's deltas/ folder, ending in "/";
  // empty when no file lists a delta.
  std::string deltasBase;
};

// The site's folders of objects and deltas, side by side in its own folder
// and in every mirror's.
constexpr char kObjectsFolder[] = "objects/";
constexpr char kDeltasFolder[] = "deltas/";

// An object's place below objects/: "<first 2 hex digits>/<sha256>".
std::string ObjectName(const std::string& sha256);

// A delta's place below deltas/: "<source sha256>-<target sha256>".
std::string DeltaName(const std::string& sourceSha256, const std::string& targetSha256);

const char* StoredFormName(StoredForm form);
