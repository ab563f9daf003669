#pragma once
// Message boxes without a display: the text is printed and the box takes
// its default answer at once, so an unattended run never stalls.
//
// OK boxes answer OK. OK/Cancel boxes answer Cancel: the only question the
// launcher asks is whether to force-close a running installation, and an
// unattended console must not agree to a step that may damage files; the
// installation goes on and Ctrl+C still ends the process.
#include <string>

#include "frontends/console/console.h"
#include "platform/seam.h"

namespace frontends::console {

class ConsoleDialogs : public platform::Dialogs {
 public:
  // Texts arrive in `codePage` and are printed as UTF-8.
  ConsoleDialogs(Console& console, unsigned codePage);

  void ShowMessage(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;

 private:
  Console& console_;
  unsigned codePage_;
};

}  // namespace frontends::console
