#pragma once
// The manifest's text (before compression), one line per record, fields
// separated by tabs, every line ending in a line feed:
//
//   farLaunch manifest 1
//   release <PackageCode>
//   objects <address of objects/, ending in "/">
//   deltas <address of deltas/, ending in "/">   (only when a file lists a delta)
//   file <name> <size> <sha256> <zstd|raw> <stored size> <stored sha256>
//   delta <source sha256> <stored size> <stored sha256>   (any number)
//
// A delta record belongs to the file record before it and names a delta
// to that file's content, below deltas/ (DeltaName). Readers of the first
// manifests skip those records, so the format stays "1".
// Names escape "%", tab, line breaks and the other control bytes as "%XX".
// A reader ignores records of another kind and fields after the ones it
// knows, so later formats can add both without breaking it.
#include <string>
#include <string_view>

#include "manifest/release_manifest.h"

std::string ManifestText(const ReleaseManifest& manifest);

// False with the reason (naming the line) for text that is not a complete
// manifest of this format: a missing or repeated header record, a field that
// does not parse, a name that would leave the game directory, names out of
// byte order or repeated, a delta record after no file record, without a
// deltas record, from the file's own content or from a source the file
// already has a delta from, a raw object whose stored size or hash differs
// from its content's, a last line without its line feed (cut off), or more
// files or bytes than a launcher takes (over 4,194,304 files or 16 TiB).
bool ParseManifest(std::string_view text, ReleaseManifest& manifest, std::string& reason);
