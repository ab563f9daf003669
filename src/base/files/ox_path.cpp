#include "base/files/ox_path.h"

#include <cstring>

#include "base/diagnostics/ox_assert.h"
#include "base/init/ox_base.h"
#include "base/files/ox_letter_case.h"
#include "base/log/ox_log.h"
#include "base/text/ox_unicode.h"

namespace ox_base {
namespace {
const char kUnit[] = "dlls/base/ox_file";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The code page names are written in; 0 while the base state sets it up.
unsigned NameCodePage() {
  const unsigned codePage = OxBase::GetCodePage();
  return codePage == 0 ? kLauncherCodePage : codePage;
}
}  // namespace

std::optional<std::string> NativeName(const std::string& name) {
  std::optional<std::string> native = CodePageToUtf8Exact(name, NameCodePage());
  if (!native) {
    if (SmartPtr<OxLog> log = OxBase::GetBaseLog())
      log->Error("OxFile: Name refused, it is no text of code page %u: %s\n", NameCodePage(), name.c_str());
    return std::nullopt;
  }
  for (char& c : *native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::optional<std::string> ToNativePath(const std::string& name) {
  std::optional<std::string> native = NativeName(name);
  if (!native) return std::nullopt;
  return ResolveLetterCase(*native);
}

std::string NativePath(const std::string& name) { return ToNativePath(name).value_or(std::string()); }

std::filesystem::path NativeFilesystemPath(const std::string& native) { return std::filesystem::u8path(native); }

std::optional<std::string> NameFromNative(const std::string& native) {
  return Utf8ToCodePageExact(native, NameCodePage());
}

void SplitPath(const char* szPath, std::string* drive, std::string* directory, std::string* name,
               std::string* extension) {
  OX_ASSERT(kUnit, szPath!=NULL);
  std::string rest = szPath;
  std::string driveText, directoryText, nameText, extensionText;
  if (rest.size() >= 2 && rest[1] == ':') {
    driveText = rest.substr(0, 2);
    rest.erase(0, 2);
  }
  if (!rest.empty() && IsSeparator(rest.back())) {
    directoryText = rest;
  } else {
    size_t slash = rest.find_last_of("\\/");
    if (slash != std::string::npos) {
      directoryText = rest.substr(0, slash + 1);
      rest.erase(0, slash + 1);
    }
    size_t dot = rest.rfind('.');
    if (dot == std::string::npos || dot == 0) {
      nameText = rest;
    } else {
      nameText = rest.substr(0, dot);
      extensionText = rest.substr(dot + 1);
    }
  }
  if (drive) *drive = driveText;
  if (directory) *directory = directoryText;
  if (name) *name = nameText;
  if (extension) *extension = extensionText;
}

std::string MakePath(const std::string& drive, const std::string& directory, const std::string& name,
                     const std::string& extension) {
  std::string path = drive + directory;
  if (!directory.empty() && !IsSeparator(directory.back())) path += '/';
  path += name;
  if (!extension.empty()) path += "." + extension;
  return path;
}

bool IsRootPath(const char* path) {
  size_t length = std::strlen(path);
  if (length == 0) return true;
  if (length == 2 && path[1] == ':') return true;
  if (length == 1 && IsSeparator(path[0])) return true;
  if (length >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // "\\", "\\server", "\\server\share": at most one more separator, and
    // never at the very end of a longer root.
    int separators = 0;
    for (size_t i = 2; i < length; ++i) {
      if (IsSeparator(path[i])) ++separators;
    }
    return separators == 0 || (separators == 1 && !IsSeparator(path[length - 1]) && !IsSeparator(path[2]));
  }
  return false;
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  std::string path = directory;
  // Also after a one-character directory: "x" and "." are directories too.
  if (!directory.empty() && !IsSeparator(directory.back())) path += '\\';
  return path + name;
}

}  // namespace ox_base
