#include "frontends/console/console_dialogs.h"

#include "base/text/ox_unicode.h"

namespace frontends::console {

ConsoleDialogs::ConsoleDialogs(Console& console, unsigned codePage) : console_(console), codePage_(codePage) {}

void ConsoleDialogs::ShowMessage(const std::string& text) {
  console_.PrintLine("[Message] " + ox_base::CodePageToUtf8(text, codePage_) + " -> OK");
}

bool ConsoleDialogs::AskOkCancel(const std::string& text) {
  console_.PrintLine("[Question] " + ox_base::CodePageToUtf8(text, codePage_) + " [OK/Cancel] -> Cancel");
  return false;
}

}  // namespace frontends::console
