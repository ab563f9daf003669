#pragma once
// A delta applied by three threads at once: one decodes the stored frame,
// one hashes what it decoded, and the caller's hands that on, the last two
// following the decoder through the result it leaves in place. On two
// cores writing the result and hashing it no longer wait for each other or
// for the decoding.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "manifest/zstd_delta_decoder.h"

// Decodes the frame stored in `stored` through `decoder` while `sink`
// receives the result piece by piece, in order, on the calling thread;
// `sha256` is then the SHA-256 (hex) of all of it. False with the reason
// when the file cannot be read or the frame does not decode to its end.
bool DecodeDeltaInPipeline(const std::filesystem::path& stored, ZstdDeltaDecoder& decoder,
                           const std::function<void(std::string_view)>& sink, std::string& sha256,
                           std::string& problem);
