#pragma once
// A release's object, downloaded and checked against its stored size and
// SHA-256, turned back into the file's content: a zstd frame decoded with
// the content's size as its bound, a raw object passed through, and the
// content checked against the size and SHA-256 the manifest gives; a delta
// likewise, decoded against the content it starts from. The launcher
// stages what it decodes; the publisher's check only looks.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "manifest/release_manifest.h"
#include "xml/xml_config.h"

// What the object's download must be: its stored size and SHA-256.
FileCheck ObjectDownloadCheck(const ManifestFile& record);

// Reads `stored` and hands its content to `sink` piece by piece. False with
// the reason for an object that does not decode, decodes to more than
// `record.size`, or whose content is not the record's.
bool DecodeObject(const std::filesystem::path& stored, const ManifestFile& record,
                  const std::function<void(std::string_view)>& sink, std::string& problem);

// The same for a delta to the record's content, applied against `source`
// (the content it starts from) within the shared window limit: a record
// above kLargestDeltaFile fails. The delta decodes and is hashed on other
// threads; `sink` is called on this one.
bool DecodeDelta(const std::filesystem::path& stored, const ManifestFile& record, std::string_view source,
                 const std::function<void(std::string_view)>& sink, std::string& problem);

// The SHA-256 of a file's bytes (64 lower-case hex digits); empty when it
// cannot be read.
std::string FileSha256(const std::filesystem::path& file);
