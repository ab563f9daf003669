#include "manifest/manifest_text.h"

#include <optional>
#include <vector>

#include "base/text/ox_percent_escape.h"
#include "manifest/line_fields.h"

namespace {

constexpr char kHeader[] = "farLaunch manifest 1";

// The most a release may ask a launcher to hold and check; real games are
// far below (a few hundred thousand files), a hostile manifest is not.
constexpr std::size_t kMostFiles = std::size_t{1} << 22;
constexpr std::uint64_t kMostBytes = std::uint64_t{1} << 44;

// A name the launcher may write: relative, "/" between non-empty folders,
// no "." or ".." step, no NUL and no "\" (a folder separator to Windows).
bool StaysInGameDirectory(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos || name.find('\\') != std::string::npos) return false;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = name.find('/', start);
    const std::string_view step = std::string_view(name).substr(start, end == std::string::npos ? end : end - start);
    if (step.empty() || step == "." || step == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// An absolute http(s) address of a folder, as the document may hold it.
bool IsFolderAddress(std::string_view address) {
  const bool absolute = address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
  return absolute && address.back() == '/' && address.find_first_of(" \"'<>=") == std::string_view::npos;
}

class Reader {
 public:
  explicit Reader(ReleaseManifest& manifest) : manifest_(manifest) {}

  // One record; false with the reason.
  bool Read(const std::vector<std::string_view>& fields, std::string& reason) {
    const std::string_view kind = fields[0];
    if (kind == "release") {
      if (fields.size() < 2 || fields[1].empty()) return Fail("a release record without its package code", reason);
      if (haveRelease_) return Fail("a second release record", reason);
      haveRelease_ = true;
      manifest_.packageCode = std::string(fields[1]);
    } else if (kind == "objects") {
      if (fields.size() < 2 || !IsFolderAddress(fields[1])) {
        return Fail("the objects record is not an http(s) address ending in \"/\"", reason);
      }
      if (haveObjects_) return Fail("a second objects record", reason);
      haveObjects_ = true;
      manifest_.objectsBase = std::string(fields[1]);
    } else if (kind == "deltas") {
      if (fields.size() < 2 || !IsFolderAddress(fields[1])) {
        return Fail("the deltas record is not an http(s) address ending in \"/\"", reason);
      }
      if (!manifest_.deltasBase.empty()) return Fail("a second deltas record", reason);
      manifest_.deltasBase = std::string(fields[1]);
    } else if (kind == "file") {
      return ReadFile(fields, reason);
    } else if (kind == "delta") {
      return ReadDelta(fields, reason);
    }
    return true;
  }

  bool Finish(std::string& reason) const {
    if (!haveRelease_) reason = "no release record";
    if (!haveObjects_) reason = "no objects record";
    if (haveDelta_ && manifest_.deltasBase.empty()) reason = "delta records without a deltas record";
    return haveRelease_ && haveObjects_ && (!haveDelta_ || !manifest_.deltasBase.empty());
  }

 private:
  bool ReadFile(const std::vector<std::string_view>& fields, std::string& reason) {
    if (fields.size() < 7) return Fail("a file record with fewer than 6 fields", reason);
    ManifestFile file;
    const std::optional<std::string> name = PercentUnescaped(fields[1]);
    if (!name) return Fail("a file name with a broken %-escape", reason);
    if (!StaysInGameDirectory(*name)) return Fail("the file name \"" + *name + "\" leaves the game directory", reason);
    if (!manifest_.files.empty() && manifest_.files.back().name >= *name) {
      return Fail("the file name \"" + *name + "\" repeats or is out of byte order", reason);
    }
    file.name = *name;
    const std::optional<std::uint64_t> size = ParseDecimal(fields[2]);
    const std::optional<std::uint64_t> storedSize = ParseDecimal(fields[5]);
    if (!size || !storedSize) return Fail("a size is not a decimal number", reason);
    if (!IsSha256Hex(fields[3]) || !IsSha256Hex(fields[6])) {
      return Fail("a SHA-256 is not 64 lower-case hex digits", reason);
    }
    file.size = *size;
    file.storedSize = *storedSize;
    file.sha256 = std::string(fields[3]);
    file.storedSha256 = std::string(fields[6]);
    if (fields[4] == "raw") {
      file.form = StoredForm::Raw;
      if (file.storedSize != file.size || file.storedSha256 != file.sha256) {
        return Fail("a raw object whose stored size or SHA-256 is not its content's", reason);
      }
    } else if (fields[4] == "zstd") {
      file.form = StoredForm::Zstd;
    } else {
      return Fail("the stored form \"" + std::string(fields[4]) + "\" is neither zstd nor raw", reason);
    }
    if (manifest_.files.size() == kMostFiles) {
      return Fail("more than " + std::to_string(kMostFiles) + " files, more than a launcher takes", reason);
    }
    totalBytes_ += file.size;
    if (file.size > kMostBytes || totalBytes_ > kMostBytes) {
      return Fail("files of more than " + std::to_string(kMostBytes >> 40) + " TiB, more than a launcher takes", reason);
    }
    manifest_.files.push_back(std::move(file));
    return true;
  }

  bool ReadDelta(const std::vector<std::string_view>& fields, std::string& reason) {
    if (manifest_.files.empty()) return Fail("a delta record before any file record", reason);
    if (fields.size() < 4) return Fail("a delta record with fewer than 3 fields", reason);
    ManifestFile& file = manifest_.files.back();
    ManifestDelta delta;
    const std::optional<std::uint64_t> storedSize = ParseDecimal(fields[2]);
    if (!storedSize) return Fail("a size is not a decimal number", reason);
    if (!IsSha256Hex(fields[1]) || !IsSha256Hex(fields[3])) {
      return Fail("a SHA-256 is not 64 lower-case hex digits", reason);
    }
    delta.sourceSha256 = std::string(fields[1]);
    delta.storedSize = *storedSize;
    delta.storedSha256 = std::string(fields[3]);
    if (delta.sourceSha256 == file.sha256) return Fail("a delta of " + file.name + " from its own content", reason);
    for (const ManifestDelta& other : file.deltas) {
      if (other.sourceSha256 == delta.sourceSha256) {
        return Fail("a second delta of " + file.name + " from one source", reason);
      }
    }
    haveDelta_ = true;
    file.deltas.push_back(std::move(delta));
    return true;
  }

  static bool Fail(const std::string& what, std::string& reason) {
    reason = what;
    return false;
  }

  ReleaseManifest& manifest_;
  std::uint64_t totalBytes_ = 0;
  bool haveRelease_ = false;
  bool haveObjects_ = false;
  bool haveDelta_ = false;
};

}  // namespace

std::string ManifestText(const ReleaseManifest& manifest) {
  std::string text = std::string(kHeader) + "\nrelease\t" + manifest.packageCode + "\nobjects\t" +
                     manifest.objectsBase + "\n";
  if (!manifest.deltasBase.empty()) text += "deltas\t" + manifest.deltasBase + "\n";
  for (const ManifestFile& file : manifest.files) {
    text += "file\t" + PercentEscaped(file.name) + "\t" + std::to_string(file.size) + "\t" + file.sha256 + "\t" +
            StoredFormName(file.form) + "\t" + std::to_string(file.storedSize) + "\t" + file.storedSha256 + "\n";
    for (const ManifestDelta& delta : file.deltas) {
      text += "delta\t" + delta.sourceSha256 + "\t" + std::to_string(delta.storedSize) + "\t" + delta.storedSha256 +
              "\n";
    }
  }
  return text;
}

bool ParseManifest(std::string_view text, ReleaseManifest& manifest, std::string& reason) {
  manifest = {};
  Reader reader(manifest);
  std::size_t start = 0;
  for (std::size_t number = 1; start < text.size(); ++number) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      reason = "line " + std::to_string(number) + " is cut off (no line feed)";
      return false;
    }
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    std::string problem;
    if (number == 1) {
      if (line != kHeader) {
        reason = "line 1 is not \"" + std::string(kHeader) + "\": not a manifest of this format";
        return false;
      }
    } else if (!reader.Read(SplitFields(line), problem)) {
      reason = "line " + std::to_string(number) + ": " + problem;
      return false;
    }
  }
  if (text.empty()) {
    reason = "empty text";
    return false;
  }
  return reader.Finish(reason);
}
