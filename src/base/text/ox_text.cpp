#include "base/text/ox_text.h"

#include "base/init/ox_base.h"
#include "base/text/ox_unicode.h"

namespace ox_base {

std::string OxText(const char* utf8) {
  unsigned codePage = OxBase::GetCodePage();
  return Utf8ToCodePage(utf8, codePage == 0 ? kLauncherCodePage : codePage);
}

}  // namespace ox_base
