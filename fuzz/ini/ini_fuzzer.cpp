// Feeds arbitrary bytes to the INI parser under each way of reading
// multi-byte characters, reads every key back with the typed getters, and
// saves what was parsed: the saved text must parse into the very same
// sections, keys, types and values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/init/ox_base.h"
#include "base/ini/ox_ini.h"
#include "base/ini/ox_ini_macros.h"
#include "base/text/ox_split_string.h"

using namespace ox_base;

namespace {

using Names = std::vector<std::pair<std::string, std::string>>;
using Items = std::vector<std::tuple<int, std::string, std::string, int>>;

const char* Lookup(const char* name) { return name[0] == 'x' ? nullptr : "[m]\nv = 1\n"; }

bool Collect(int kind, const char* name, const char*, int, void* user) {
  Names& names = *static_cast<Names*>(user);
  if (kind == OX_INI_ITEM_SECTION) names.emplace_back(name, "");
  else if (!names.empty()) names.emplace_back(names.back().first, name);
  return true;
}

bool Record(int kind, const char* name, const char* value, int type, void* user) {
  static_cast<Items*>(user)->emplace_back(kind, name, value ? value : "", type);
  return true;
}

// Whatever the parser accepted (all of it, or what came before an error)
// is written so that it reads back the same.
void CheckRoundTrip(OxIni& ini) {
  Items parsed;
  ini.Enumerate(Record, &parsed);
  std::string saved;
  if (!ini.SaveText(saved)) std::abort();
  OxIni again;
  if (!again.LoadText(saved.c_str())) std::abort();
  Items reread;
  again.Enumerate(Record, &reread);
  if (reread != parsed) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const unsigned kCodePages[] = {936, 1252, 65001, 950};
  OxBase::Instance()->m_codePage = kCodePages[data[0] % 4];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  OxIni ini;
  ini.LoadText(text.c_str());
  CheckRoundTrip(ini);
  Names names;
  ini.Enumerate(Collect, &names);
  for (const auto& [section, key] : names) {
    int32_t number = 0;
    bool flag = false;
    ini.GetInt(section.c_str(), key.c_str(), number);
    ini.GetBool(section.c_str(), key.c_str(), flag);
  }

  std::string expanded;
  ExpandMacros(text.c_str(), Lookup, (data[0] & 1) ? "p" : nullptr, expanded);
  std::vector<std::string> pieces;
  SplitString(text, ",;", pieces, (data[0] & 2) != 0);
  return 0;
}
