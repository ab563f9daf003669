#pragma once
// A download that has not finished yet: its bytes under "<local name>.part"
// and, beside them, what the next attempt needs to know they are still the
// same file ("<local name>.part.meta": the address, the server's ETag or
// Last-Modified, the announced length, the expected SHA-256 and size).
#include <cstdint>
#include <optional>
#include <string>

#include "net/content_check.h"

// What the sidecar records about the bytes of a partial file.
struct PartialMeta {
  std::string address;
  std::string etag;
  std::string lastModified;
  std::uint64_t length = 0;  // the whole file's length as the server announced it
  ExpectedContent expected;
};

// From now on no download takes its final name: one that finishes stays
// its ".part" (Promote fails saying so). The launcher's end calls it before
// its clean-up, so that a detached worker's download finishing meanwhile
// is not left behind under a name the clean-up has already passed. For the
// rest of the process; a placing under way is waited for.
void StopPlacingDownloads();

class PartialDownload {
 public:
  // `localPath` is the final name, in the form callers give it (Windows
  // forms allowed).
  explicit PartialDownload(const std::string& localPath);

  static std::string PartName(const std::string& localPath) { return localPath + ".part"; }
  static std::string MetaName(const std::string& localPath) { return localPath + ".part.meta"; }

  // Native paths of the partial file and its sidecar.
  const std::string& PartPath() const { return part_; }

  // How many bytes of `address` can be asked for from where they stop: the
  // partial file's size when its sidecar names the same address and the
  // same expected content and there is a way to tell the bytes are still
  // the file's (a validator or a hash); 0 otherwise. A whole file asks for
  // its last byte: the answer tells whether it is still the file.
  std::uint64_t ResumableBytes(const std::string& address, const ExpectedContent& expected,
                               PartialMeta& meta) const;

  // Records what the partial file's bytes are; false when it cannot be
  // written (the download then cannot be resumed, nothing worse).
  bool SaveMeta(const PartialMeta& meta) const;

  // The partial file becomes the final name, its sidecar kept when asked
  // (DownloadOptions::keepComplete); false with `problem` when the rename
  // fails or downloads are no longer placed.
  bool Promote(std::string& problem, bool keepMeta = false) const;

  // A finished file kept with its sidecar becomes the partial file again,
  // whole, for a download to ask whether it is still the file.
  void ReclaimComplete() const;

  // Deletes a finished file kept with its sidecar, and the sidecar.
  void DiscardComplete() const;

  // Deletes the partial file and its sidecar.
  void Discard() const;

  // Deletes the sidecar only: the partial file's bytes are not to be gone
  // on from (a new download truncates the file).
  void DiscardMeta() const;

 private:
  std::string final_;
  std::string part_;
  std::string meta_;
};

// The sidecar of a partial file for `localPath`, when one can be read.
std::optional<PartialMeta> ReadPartialMeta(const std::string& localPath);
