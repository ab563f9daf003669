#include "base/ini/ox_ini.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/ini/ox_ini_macros.h"
#include "base/ini/ox_ini_parser.h"
#include "base/ini/ox_ini_writer.h"
#include "base/log/ox_log.h"
#include "base/text/ox_text.h"

namespace ox_base {
namespace {

// ASCII letters only: the C library's case folding follows the locale, and
// GBK bytes must never fold.
bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
  for (; *a && *b; ++a, ++b) {
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

bool SameName(const std::string& a, const char* b) { return EqualIgnoringAsciiCase(a.c_str(), b); }

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[64];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return text;
}

int32_t DecimalValue(const std::string& text) {
  return static_cast<int32_t>(std::strtoll(text.c_str(), nullptr, 10));
}

uint32_t HexValue(const std::string& text) {
  return text.size() > 2 ? static_cast<uint32_t>(std::strtoull(text.c_str() + 2, nullptr, 16)) : 0;
}

// Truncates toward zero, kept inside the 32-bit range.
int32_t FloatToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool IsTrue(const std::string& text) { return EqualIgnoringAsciiCase(text.c_str(), "true"); }

struct TextWriter {
  std::string text;
  unsigned codePage;
  std::string lineEnd;
  std::string section;
};

// Appends one enumerated item in the file layout; false, with the reason
// logged, when the item cannot be written faithfully.
bool WriteItem(int kind, const char* name, const char* value, int type, void* user) {
  TextWriter& writer = *static_cast<TextWriter*>(user);
  if (kind == OX_INI_ITEM_SECTION) writer.section = name;
  std::string item;
  if (FormatIniItem(kind, name, value, type, writer.codePage, writer.lineEnd, item)) {
    writer.text += item;
    return true;
  }
  if (SmartPtr<OxLog> log = OxBase::GetBaseLog()) {
    log->Error("OxIni: [%s]%s%s cannot be written so that it reads back the same\n", writer.section.c_str(),
               kind == OX_INI_ITEM_KEY ? " " : "", kind == OX_INI_ITEM_KEY ? name : "");
  }
  return false;
}

}  // namespace

OxIniKey* OxIniSection::FirstKey() {
  m_walking = true;
  m_cursor = m_keys.begin();
  return m_cursor == m_keys.end() ? nullptr : &*m_cursor;
}

OxIniKey* OxIniSection::NextKey() {
  if (!m_walking || m_cursor == m_keys.end()) return nullptr;
  ++m_cursor;
  return m_cursor == m_keys.end() ? nullptr : &*m_cursor;
}

bool OxIni::LoadFile(const std::string& path, OxIniLookup lookup, const char* prefix) {
  Clear();
  OxFile* fileSystem = OxBase::GetFileSystem();
  OxArchivePtr file = fileSystem->OpenRead(path, 0);
  if (!file) {
    m_error = path + OxText("文件找不到或者打不开。");
    return false;
  }
  int64_t size = file->GetSize();
  std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
  int got = text.empty() ? 0 : file->Serialize(&text[0], static_cast<int>(text.size()));
  fileSystem->Close(std::move(file));
  if (got < static_cast<int64_t>(text.size())) {
    m_error = OxText("文件读取错误");
    return false;
  }
  if (lookup) {
    std::string expanded;
    if (ExpandMacros(text.c_str(), lookup, prefix, expanded) && !expanded.empty()) text.swap(expanded);
  }
  const char* start = text.c_str();
  if (std::strncmp(start, "\xEF\xBB\xBF", 3) == 0) start += 3;
  bool parsed = ParseIniText(*this, start, OxBase::GetCodePage());
  m_lineEnd = LineEndOf(text);
  m_sourceName = path;
  m_pSection = nullptr;
  m_pKey = nullptr;
  return parsed;
}

bool OxIni::LoadText(const char* text) {
  Clear();
  if (!ParseIniText(*this, text ? text : "", OxBase::GetCodePage())) return false;
  m_sourceName = OxText("字符串");
  m_pSection = nullptr;
  m_pKey = nullptr;
  return true;
}

bool OxIni::SaveFile(const std::string& path, bool force) {
  std::string text;
  if (!SaveText(text)) return false;
  return OxBase::GetFileSystem()->ReplaceContents(path, text, force) && !m_sections.empty();
}

bool OxIni::SaveText(std::string& text) {
  TextWriter writer{std::string(), OxBase::GetCodePage(), m_lineEnd, std::string()};
  const bool written = m_sections.empty() || Enumerate(WriteItem, &writer);
  text = std::move(writer.text);
  return written;
}

void OxIni::Clear() {
  m_sections.clear();
  m_lineEnd = "\n";
  m_pSection = nullptr;
  m_pKey = nullptr;
}

OxIniSection* OxIni::FindSection(const char* section) {
  if (!section) return m_pSection;
  if (m_pSection && SameName(m_pSection->m_name, section)) return m_pSection;
  m_pSection = nullptr;
  for (OxIniSection& candidate : m_sections) {
    if (SameName(candidate.m_name, section)) {
      m_pSection = &candidate;
      break;
    }
  }
  return m_pSection;
}

bool OxIni::FindKey(const char* section, const char* key) {
  OxIniSection* found = section ? FindSection(section) : m_pSection;
  if (!found || !key) return false;
  m_pKey = nullptr;
  for (OxIniKey& candidate : found->m_keys) {
    if (SameName(candidate.name, key)) {
      m_pKey = &candidate;
      return true;
    }
  }
  return false;
}

const char* OxIni::GetString(const char* section, const char* key) {
  return FindKey(section, key) ? m_pKey->value.c_str() : nullptr;
}

std::string OxIni::GetText(const char* section, const char* key) {
  return FindKey(section, key) ? m_pKey->value : std::string();
}

bool OxIni::GetBool(const char* section, const char* key, bool& out) {
  if (!FindKey(section, key)) return false;
  const std::string& text = m_pKey->value;
  switch (m_pKey->type) {
    case OX_INI_BOOL: out = IsTrue(text); return true;
    case OX_INI_INT: out = DecimalValue(text) != 0; return true;
    case OX_INI_HEX: out = HexValue(text) != 0; return true;
    case OX_INI_FLOAT: out = std::strtod(text.c_str(), nullptr) != 0.0; return true;
    case OX_INI_STRING:
      out = (!text.empty() && text[0] >= '0' && text[0] <= '9') ? DecimalValue(text) != 0 : IsTrue(text);
      return true;
  }
  return false;
}

bool OxIni::GetInt(const char* section, const char* key, int32_t& out) {
  if (!FindKey(section, key)) return false;
  const std::string& text = m_pKey->value;
  switch (m_pKey->type) {
    case OX_INI_BOOL: out = IsTrue(text) ? 1 : 0; return true;
    case OX_INI_INT:
    case OX_INI_STRING: out = DecimalValue(text); return true;
    case OX_INI_HEX: out = static_cast<int32_t>(HexValue(text)); return true;
    case OX_INI_FLOAT: out = FloatToInt(std::strtod(text.c_str(), nullptr)); return true;
  }
  return false;
}

bool OxIni::AddSection(const char* name) {
  if (FindSection(name)) return false;
  m_sections.emplace_back(*this, name);
  m_pSection = &m_sections.back();
  return true;
}

bool OxIni::AddKey(const char* section, const char* key, OxIniType type, const std::string& value) {
  OxIniSection* found = FindSection(section);
  if (!found || !key || FindKey(nullptr, key)) return false;
  found->m_keys.push_back(OxIniKey{key, type, value});
  m_pKey = &found->m_keys.back();
  return true;
}

bool OxIni::AddString(const char* section, const char* key, const char* value) {
  return AddKey(section, key, OX_INI_STRING, value ? value : "");
}

bool OxIni::AddBool(const char* section, const char* key, bool value) {
  return AddKey(section, key, OX_INI_BOOL, value ? "true" : "false");
}

bool OxIni::AddInt(const char* section, const char* key, int32_t value) {
  return AddKey(section, key, OX_INI_INT, Format("%d", value));
}

bool OxIni::AddHex(const char* section, const char* key, uint32_t value) {
  return AddKey(section, key, OX_INI_HEX, Format("0x%X", value));
}

bool OxIni::AddFloat(const char* section, const char* key, float value) {
  // "%f" of a huge float is long; the text is kept whole.
  char text[400];
  std::snprintf(text, sizeof(text), "%f", static_cast<double>(value));
  return AddKey(section, key, OX_INI_FLOAT, text);
}

bool OxIni::SetInt(const char* section, const char* key, int32_t value, bool create) {
  if (FindKey(section, key)) {
    m_pKey->value = Format("%d", value);
    m_pKey->type = OX_INI_INT;
    return true;
  }
  if (!create) return false;
  if (section) AddSection(section);
  return AddInt(section, key, value);
}

bool OxIni::Enumerate(OxIniCallback callback, void* user) {
  if (m_sections.empty()) return false;
  for (OxIniSection& section : m_sections) {
    m_pSection = &section;
    m_pKey = nullptr;
    bool go = callback ? callback(OX_INI_ITEM_SECTION, section.m_name.c_str(), nullptr, 0, user)
                       : OnItem(OX_INI_ITEM_SECTION, section.m_name.c_str(), nullptr, 0, user);
    if (!go) return false;
    for (OxIniKey& key : section.m_keys) {
      m_pKey = &key;
      go = callback ? callback(OX_INI_ITEM_KEY, key.name.c_str(), key.value.c_str(), key.type, user)
                    : OnItem(OX_INI_ITEM_KEY, key.name.c_str(), key.value.c_str(), key.type, user);
      if (!go) return false;
    }
  }
  m_pSection = nullptr;
  m_pKey = nullptr;
  return true;
}

bool OxIni::OnItem(int, const char*, const char*, int, void*) { return false; }

const std::string& OxIni::FormatError(const char* file, const char* message, int line, int column,
                                      const char* lineText, int caretColumn) {
  char where[256];
  std::snprintf(where, sizeof(where), OxText("' 时出错。第 %d 行，位置：%d\n    ").c_str(), line, column);
  m_error = OxText("处理INI '") + (file ? file : "") + where;
  if (lineText) {
    // The caret line had a 100-byte buffer; a column past it counted as 10.
    int dashes = caretColumn >= 98 ? 10 : (caretColumn > 0 ? caretColumn : 0);
    m_error += std::string(lineText) + "\n    " + std::string(dashes, '-') + "^\n";
  }
  m_error += message ? message : "";
  return m_error;
}

}  // namespace ox_base
