#include "packaging/windows_setup.h"

#include <fstream>
#include <random>
#include <system_error>

#include "command_line.h"
#include "external_program.h"
#include "packaging/setup_script.h"

namespace fs = std::filesystem;

namespace {

// The files the setup packs, gathered in a temporary folder removed with it.
class Stage {
 public:
  Stage() : path_(fs::temp_directory_path() / ("farpublish-setup-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path_, failure_);
  }
  ~Stage() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  const fs::path& Path() const { return path_; }
  bool Made() const { return !failure_; }

 private:
  fs::path path_;
  std::error_code failure_;
};

bool IsWindowsProgram(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[2] = {};
  return in.read(head, 2) && head[0] == 'M' && head[1] == 'Z';
}

bool CopyInto(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code failure;
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, failure);
  if (failure) error = "cannot copy " + from.string() + " for the setup: " + failure.message();
  return !failure;
}

bool Fail(std::ostream& err, const std::string& error) {
  err << "farpublish: " << error << "\n";
  return false;
}

}  // namespace

bool ParseInstallerOptions(const std::vector<std::string>& args, InstallerOptions& options, std::string& error) {
  options = {};
  std::set<std::string> names = {"--launcher", "--game-files", "--product", "--out", "--publisher-key"};
  names.insert(kCodeSigningOptions.begin(), kCodeSigningOptions.end());
  CommandLine line;
  if (!SplitCommandLine(args, names, line, error, {"--linux"})) return false;
  for (const auto& [name, value] : line.options) {
    if (name == "--linux") options.linuxTarball = true;
    if (name == "--launcher") options.launcher = value;
    if (name == "--game-files") options.gameFiles = value;
    if (name == "--product") options.product = value;
    if (name == "--out") options.out = value;
    if (name == "--publisher-key") options.publisherKey = value;
  }
  CodeSigningIdentity identity;
  bool signing = false;
  if (!ReadCodeSigningOptions(line.options, identity, signing, error)) return false;
  if (signing && options.linuxTarball) {
    error = "--sign-cert and --sign-key sign Windows programs: not with --linux";
    return false;
  }
  if (signing) options.signing = identity;
  if (!line.positional.empty()) {
    error = "installer takes options only, not '" + line.positional[0] + "'";
    return false;
  }
  if (options.launcher.empty() || options.gameFiles.empty() || options.product.empty() || options.out.empty()) {
    error = "installer needs --launcher farLaunch.exe, --game-files DIR, --product NAME and --out Setup.exe (with "
            "--linux, NAME.tar.gz)";
    return false;
  }
  return IsUsableProductName(options.product, error);
}

bool FindGameDocument(const fs::path& gameFiles, fs::path& document, std::string& error) {
  document = gameFiles / "updatecfg.xml";
  std::error_code failure;
  if (fs::is_regular_file(document, failure)) return true;
  error = "no " + document.string() + ": farpublish build --game-files " + gameFiles.string() +
          " writes it, for the launcher to find the site";
  return false;
}

bool MakeInstaller(const InstallerOptions& options, std::ostream& out, std::ostream& err) {
  const fs::path makensis = FindOnPath("makensis");
  if (makensis.empty()) return Fail(err, "makensis is not installed (no makensis on PATH): NSIS makes the setup");
  if (!IsWindowsProgram(options.launcher)) {
    return Fail(err,
                options.launcher.string() + " is not a Windows program: --launcher takes the Windows farLaunch.exe");
  }
  fs::path document;
  std::string error;
  if (!FindGameDocument(options.gameFiles, document, error)) return Fail(err, error);
  const Stage stage;
  if (!stage.Made()) return Fail(err, "cannot make a temporary folder in " + fs::temp_directory_path().string());
  const fs::path launcher = stage.Path() / "farLaunch.exe";
  if (!CopyInto(options.launcher, launcher, error) || !CopyInto(document, stage.Path() / "updatecfg.xml", error) ||
      (options.publisherKey && !CopyInto(*options.publisherKey, stage.Path() / "publisher.pub", error))) {
    return Fail(err, error);
  }
  if (options.signing && !SignWindowsProgram(launcher, *options.signing, error)) return Fail(err, error);

  // makensis writes beside the setup's place, which the finished setup takes.
  std::error_code failure;
  const fs::path target = fs::absolute(options.out, failure);
  const fs::path part = target.string() + ".part";
  const fs::path script = stage.Path() / "setup.nsi";
  std::ofstream(script, std::ios::binary)
      << SetupScript({options.product, stage.Path().string(), options.publisherKey.has_value(), part.string()});
  std::string said;
  const int status = RunCapturingOutput(
      ShellArgument(makensis.string()) + " -V2 -INPUTCHARSET UTF8 " + ShellArgument(script.string()), said);
  if (status != 0 || !fs::is_regular_file(part, failure)) {
    fs::remove(part, failure);
    return Fail(err, "makensis could not make the setup (status " + std::to_string(status) + "): " + said);
  }
  if (options.signing && !SignWindowsProgram(part, *options.signing, error)) {
    fs::remove(part, failure);
    return Fail(err, error);
  }
  fs::rename(part, target, failure);
  if (failure) {
    fs::remove(part, failure);
    return Fail(err, "cannot put the setup in place at " + target.string() + ": " + failure.message());
  }
  out << "wrote " << options.out.string() << (options.signing ? " (signed)\n" : "\n");
  return true;
}
