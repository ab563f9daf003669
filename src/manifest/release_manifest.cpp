#include "manifest/release_manifest.h"

std::string ObjectName(const std::string& sha256) { return sha256.substr(0, 2) + "/" + sha256; }

std::string DeltaName(const std::string& sourceSha256, const std::string& targetSha256) {
  return sourceSha256 + "-" + targetSha256;
}

const char* StoredFormName(StoredForm form) { return form == StoredForm::Zstd ? "zstd" : "raw"; }
