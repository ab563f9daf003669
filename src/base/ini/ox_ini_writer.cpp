#include "base/ini/ox_ini_writer.h"

#include <vector>

#include "base/ini/ox_ini.h"
#include "base/ini/ox_ini_parser.h"

namespace ox_base {
namespace {

struct Item {
  int kind;
  std::string name;
  std::string value;
  int type;
  bool operator==(const Item& other) const {
    return kind == other.kind && name == other.name && value == other.value && type == other.type;
  }
};

bool Collect(int kind, const char* name, const char* value, int type, void* user) {
  static_cast<std::vector<Item>*>(user)->push_back({kind, name, value ? value : "", type});
  return true;
}

// True when the whole text parses into exactly the expected items (names
// compared byte for byte, although lookups ignore letter case).
bool ReadsBack(const std::string& text, unsigned codePage, const std::vector<Item>& expected) {
  OxIni scratch;
  if (!ParseIniText(scratch, text.c_str(), codePage)) return false;
  std::vector<Item> items;
  scratch.Enumerate(Collect, &items);
  return items == expected;
}

}  // namespace

bool FormatIniItem(int kind, const char* name, const char* value, int type, unsigned codePage,
                   const std::string& lineEnd, std::string& text) {
  if (kind == OX_INI_ITEM_SECTION) {
    text = lineEnd + "[" + name + "]" + lineEnd;
    return ReadsBack(text, codePage, {{kind, name, "", 0}});
  }
  const std::string key = std::string(name) + " = ";
  std::vector<std::string> forms;
  if (type == OX_INI_STRING) forms.push_back(key + "\"" + value + "\"" + lineEnd);
  forms.push_back(key + value + lineEnd);
  const std::vector<Item> expected = {{OX_INI_ITEM_SECTION, "s", "", 0}, {kind, name, value, type}};
  for (const std::string& form : forms) {
    if (ReadsBack("[s]" + lineEnd + form, codePage, expected)) {
      text = form;
      return true;
    }
  }
  return false;
}

std::string LineEndOf(const std::string& text) {
  const std::size_t feed = text.find('\n');
  return feed != std::string::npos && feed > 0 && text[feed - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace ox_base
