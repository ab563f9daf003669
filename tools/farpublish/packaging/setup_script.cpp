#include "packaging/setup_script.h"

namespace {

// Text inside an NSIS "..." string: $ starts a variable there.
std::string Escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) escaped += c == '$' ? std::string("$$") : std::string(1, c);
  return escaped;
}

}  // namespace

bool IsUsableProductName(const std::string& product, std::string& error) {
  bool control = false;
  for (const char c : product) control = control || static_cast<unsigned char>(c) < 0x20;
  if (product.empty() || control || product.find_first_of("\\/:*?\"<>|") != std::string::npos ||
      product.front() == ' ' || product.back() == ' ' || product.back() == '.') {
    error =
        "--product names the player's folder and shortcuts: not empty, without \\/:*?\"<>| or control characters, "
        "not starting or ending with a space nor ending with a dot: '" +
        product + "'";
    return false;
  }
  return true;
}

std::string SetupScript(const SetupScriptInputs& inputs) {
  const std::string name = Escaped(inputs.product);
  const std::string staged = Escaped(inputs.stage) + "/";
  const std::string key = "HKCU \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + "\"";
  const std::string startMenu = "\"$SMPROGRAMS\\" + name + ".lnk\"";
  const std::string desktop = "\"$DESKTOP\\" + name + ".lnk\"";
  std::string script =
      // A 64-bit setup for a 64-bit launcher: it also runs where there is
      // no 32-bit Windows layer (Server Core, wine without wine32).
      "Target amd64-unicode\n"
      "SetCompressor /SOLID lzma\n"
      "!include \"FileFunc.nsh\"\n"
      // The player's own folder: no elevation, and the launcher can update
      // itself and the game there.
      "RequestExecutionLevel user\n"
      "Name \"" +
      name +
      "\"\n"
      "OutFile \"" +
      Escaped(inputs.output) +
      "\"\n"
      "InstallDir \"$LOCALAPPDATA\\Programs\\" +
      name +
      "\"\n"
      // The launcher's version record gives the version Add/Remove Programs shows.
      "!getdllversion /noerrors \"" +
      staged +
      "farLaunch.exe\" launcher_\n"
      "Page directory\n"
      "Page instfiles\n"
      "UninstPage uninstConfirm\n"
      "UninstPage instfiles\n"
      "\n"
      "Section\n"
      "  SetShellVarContext current\n"
      "  SetOutPath \"$INSTDIR\"\n"
      "  File \"" +
      staged +
      "farLaunch.exe\"\n"
      "  File \"" +
      staged + "updatecfg.xml\"\n";
  if (inputs.publisherKey) script += "  File \"" + staged + "publisher.pub\"\n";
  script +=
      "  WriteUninstaller \"$INSTDIR\\uninstall.exe\"\n"
      // The shortcuts start the launcher in its folder, the game directory.
      "  CreateShortcut " +
      startMenu +
      " \"$INSTDIR\\farLaunch.exe\"\n"
      "  CreateShortcut " +
      desktop +
      " \"$INSTDIR\\farLaunch.exe\"\n"
      "  WriteRegStr " +
      key + " DisplayName \"" + name +
      "\"\n"
      "  WriteRegStr " +
      key + " Publisher \"" + name +
      "\"\n"
      "!ifdef launcher_1\n"
      "  WriteRegStr " +
      key +
      " DisplayVersion \"${launcher_1}.${launcher_2}.${launcher_3}.${launcher_4}\"\n"
      "!endif\n"
      "  WriteRegStr " +
      key +
      " DisplayIcon \"$INSTDIR\\farLaunch.exe\"\n"
      "  WriteRegStr " +
      key +
      " InstallLocation \"$INSTDIR\"\n"
      "  WriteRegStr " +
      key +
      " UninstallString '\"$INSTDIR\\uninstall.exe\"'\n"
      "  WriteRegStr " +
      key +
      " QuietUninstallString '\"$INSTDIR\\uninstall.exe\" /S'\n"
      "  WriteRegDWORD " +
      key +
      " NoModify 1\n"
      "  WriteRegDWORD " +
      key +
      " NoRepair 1\n"
      "  ${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2\n"
      "  WriteRegDWORD " +
      key +
      " EstimatedSize $0\n"
      "SectionEnd\n"
      "\n"
      // An interactive setup hands over to the launcher, which makes the full
      // install from the site; a silent one leaves that to the player.
      "Function .onInstSuccess\n"
      "  IfSilent done\n"
      "  SetOutPath \"$INSTDIR\"\n"
      "  Exec '\"$INSTDIR\\farLaunch.exe\"'\n"
      "  done:\n"
      "FunctionEnd\n"
      "\n"
      // The launcher takes out its files and the game as it installed it,
      // keeping the player's (and says which in farLaunch.log). A launcher
      // still running makes it refuse, and a file it cannot remove fails it:
      // the uninstall stops there, registered still, for a second try. A
      // program the player deleted leaves the rest to do. Then the program,
      // the lock it held and what the setup put there go.
      "Section Uninstall\n"
      "  SetShellVarContext current\n"
      "  SetOutPath \"$INSTDIR\"\n"
      "  ClearErrors\n"
      "  ExecWait '\"$INSTDIR\\farLaunch.exe\" --uninstall' $0\n"
      "  IfErrors launcher_gone\n"
      "  IntCmp $0 0 launcher_gone\n"
      "  MessageBox MB_OK|MB_ICONSTOP \"farLaunch.exe --uninstall failed (status $0): close the launcher and the game, "
      "then uninstall again. farLaunch.log in $INSTDIR says why.\" /SD IDOK\n"
      "  SetErrorLevel 1\n"
      "  Abort\n"
      "  launcher_gone:\n"
      // The folder is the current directory until here: RMDir needs it free.
      "  SetOutPath \"$TEMP\"\n"
      "  Delete \"$INSTDIR\\farLaunch.exe\"\n"
      "  Delete \"$INSTDIR\\farLaunch.lock\"\n"
      "  Delete \"$INSTDIR\\updatecfg.xml\"\n"
      "  Delete \"$INSTDIR\\publisher.pub\"\n"
      "  Delete \"$INSTDIR\\uninstall.exe\"\n"
      "  RMDir \"$INSTDIR\"\n"
      "  Delete " +
      startMenu +
      "\n"
      "  Delete " +
      desktop +
      "\n"
      "  DeleteRegKey " +
      key +
      "\n"
      "SectionEnd\n";
  return script;
}
