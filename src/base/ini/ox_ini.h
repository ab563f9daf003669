#pragma once
// The INI document: ordered sections of typed "key = value" entries, read
// from a file or a text, queried, changed and written back. Names compare
// without ASCII letter case; text is bytes in the base code page.
#include <cstdint>
#include <list>
#include <string>

namespace ox_base {

enum OxIniType : int32_t {
  OX_INI_BOOL = 1,
  OX_INI_INT = 2,
  OX_INI_HEX = 3,
  OX_INI_FLOAT = 4,
  OX_INI_STRING = 5,
};

struct OxIniKey {
  std::string name;
  OxIniType type;
  std::string value;  // canonical text of the value
};

class OxIni;

class OxIniSection {
 public:
  OxIniSection(OxIni& owner, std::string name) : m_owner(owner), m_name(std::move(name)) {}

  const std::string& GetName() const { return m_name; }
  OxIni& GetOwner() const { return m_owner; }
  // Starts a walk over the keys; null when there are none.
  OxIniKey* FirstKey();
  // The next key of the walk; null at the end or when no walk was started.
  OxIniKey* NextKey();

 private:
  friend class OxIni;
  OxIni& m_owner;
  std::string m_name;
  std::list<OxIniKey> m_keys;
  std::list<OxIniKey>::iterator m_cursor;
  bool m_walking = false;
};

// Enumeration callback: kind 2 announces a section (value null, type 0),
// kind 1 a key of the section announced last. False stops the walk.
enum { OX_INI_ITEM_KEY = 1, OX_INI_ITEM_SECTION = 2 };
using OxIniCallback = bool (*)(int kind, const char* name, const char* value, int type, void* user);
// Macro lookup for LoadFile: the text for a name, or null.
using OxIniLookup = const char* (*)(const char* name);

class OxIni {
 public:
  OxIni() = default;
  virtual ~OxIni() = default;
  OxIni(const OxIni&) = delete;
  OxIni& operator=(const OxIni&) = delete;

  // Clears, reads and parses the file; with a lookup, "$L:name$" macros are
  // expanded first (names get "prefix_" when a prefix is given).
  bool LoadFile(const std::string& path, OxIniLookup lookup = nullptr, const char* prefix = nullptr);
  // Clears and parses a NUL-terminated text.
  bool LoadText(const char* text);
  // Replaces the file with the document's text (SaveText) as a whole
  // (OxFile::ReplaceContents: never a truncated file, the file's mode and
  // links kept). force makes a read-only file writable first. False when the
  // file was not replaced (an item that cannot be written leaves the old file
  // as it was), and for a document without sections, whose file is written
  // empty.
  bool SaveFile(const std::string& path, bool force);
  // The document in the file layout, each item in a form that reads back as
  // the same section, key, type and value, its lines ended as the loaded
  // file's first line was ("\r\n" or "\n"). False, with the reason on the
  // "Base" log, when an item has no such form (a String holding both a " and
  // a blank, a name the parser cannot take); text is then incomplete.
  bool SaveText(std::string& text);
  void Clear();

  // A null name means the current section (section arguments below too).
  OxIniSection* FindSection(const char* section);
  bool FindKey(const char* section, const char* key);
  // The value text, or null; valid until the key changes or the document
  // is cleared.
  const char* GetString(const char* section, const char* key);
  std::string GetText(const char* section, const char* key);
  bool GetBool(const char* section, const char* key, bool& out);
  bool GetInt(const char* section, const char* key, int32_t& out);
  const std::string& GetError() const { return m_error; }
  const std::string& GetSourceName() const { return m_sourceName; }

  // True when created; either way it becomes the current section.
  bool AddSection(const char* name);
  // False when the section is missing or the key exists in it.
  bool AddString(const char* section, const char* key, const char* value);
  bool AddBool(const char* section, const char* key, bool value);
  bool AddInt(const char* section, const char* key, int32_t value);
  bool AddHex(const char* section, const char* key, uint32_t value);
  bool AddFloat(const char* section, const char* key, float value);
  // An existing key (any type) becomes Int with the value; a missing one is
  // added (section too) only when create is set.
  bool SetInt(const char* section, const char* key, int32_t value, bool create);

  // Walks sections and keys; with a null callback OnItem is asked. True
  // when the walk completed; false for a document without sections.
  bool Enumerate(OxIniCallback callback, void* user);

  virtual const std::string& FormatError(const char* file, const char* message, int line, int column,
                                         const char* lineText, int caretColumn);

  OxIniSection* GetCurrentSection() const { return m_pSection; }
  OxIniKey* GetCurrentKey() const { return m_pKey; }
  int GetSectionCount() const { return static_cast<int>(m_sections.size()); }

 protected:
  virtual bool OnItem(int kind, const char* name, const char* value, int type, void* user);

 private:
  bool AddKey(const char* section, const char* key, OxIniType type, const std::string& value);

  std::string m_sourceName;
  std::string m_error;
  // The loaded file's line end: a rewrite keeps it.
  std::string m_lineEnd = "\n";
  std::list<OxIniSection> m_sections;
  OxIniSection* m_pSection = nullptr;
  OxIniKey* m_pKey = nullptr;
};

}  // namespace ox_base
