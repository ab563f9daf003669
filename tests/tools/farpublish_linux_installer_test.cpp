// farpublish installer --linux: the tarball a new Linux player extracts
// anywhere, holding the installed launcher with its modules, the game's
// document and key, and a desktop entry that starts the launcher in the
// extracted folder.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "support/minimal_windows_program.h"
#include "support/temp_dir.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

class FarpublishLinuxInstaller : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(gameFiles);
    WriteFile(key, "untrusted comment: minisign public key\nRWQ...\n");
  }

  PublishRun Installer(const fs::path& launcher, const fs::path& out) const {
    return Farpublish({"installer", "--linux", "--launcher", launcher.string(), "--game-files", gameFiles.string(),
                       "--product", "Far Harbour", "--out", out.string(), "--publisher-key", key.string()});
  }

  // "mode name" per entry, as tar lists them.
  static std::set<std::string> Listing(const fs::path& tarball) {
    const ShellRun listed = RunShell("tar --numeric-owner -tvzf " + ShellQuoted(tarball.string()));
    EXPECT_EQ(listed.status, 0) << listed.out;
    std::set<std::string> entries;
    std::istringstream lines(listed.out);
    std::string mode, owner, size, date, time, name;
    while (lines >> mode >> owner >> size >> date >> time && std::getline(lines >> std::ws, name)) {
      EXPECT_EQ(owner, "0/0") << name;
      entries.insert(mode + " " + name);
    }
    return entries;
  }

  TempDir dir;
  const fs::path gameFiles = dir.Path() / "game-files";
  const fs::path key = dir.Path() / "publisher.pub";
  const fs::path launcher = fs::path(FARLAUNCH_INSTALL_DIR) / "farLaunch.exe";
};

}  // namespace

// Without the game's document, given the Windows launcher, or asked to
// sign, there is no tarball and the publisher is told why.
TEST_F(FarpublishLinuxInstaller, RefusesWithoutTheDocumentOrTheLinuxLauncher) {
  const fs::path out = dir.Path() / "far.tar.gz";
  const PublishRun withoutDocument = Installer(launcher, out);
  EXPECT_EQ(withoutDocument.status, 1);
  EXPECT_NE(withoutDocument.err.find("farpublish build --game-files " + gameFiles.string()), std::string::npos)
      << withoutDocument.err;

  WriteFile(gameFiles / "updatecfg.xml", "<UpdateConfig/>");
  const fs::path windowsProgram = dir.Path() / "farLaunch.exe";
  WriteFile(windowsProgram, MinimalWindowsProgram());
  const PublishRun windowsLauncher = Installer(windowsProgram, out);
  EXPECT_EQ(windowsLauncher.status, 1);
  EXPECT_NE(windowsLauncher.err.find("is not a Linux program"), std::string::npos) << windowsLauncher.err;
  const PublishRun signing = Farpublish({"installer", "--linux", "--launcher", launcher.string(), "--game-files",
                                         gameFiles.string(), "--product", "Far", "--out", out.string(), "--sign-cert",
                                         "c.pem", "--sign-key", "c.key"});
  EXPECT_EQ(signing.status, 2);
  EXPECT_NE(signing.err.find("not with --linux"), std::string::npos) << signing.err;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(fs::exists(out.string() + ".part"));
}

// The tarball holds one folder with every file installed beside the
// launcher, runnable as extracted; the same inputs give the same bytes;
// the desktop entry, run from elsewhere as a desktop runs it, starts the
// launcher in the extracted folder.
TEST_F(FarpublishLinuxInstaller, TarballRunsWhereverItIsExtracted) {
  WriteFile(gameFiles / "updatecfg.xml", "<UpdateConfig/>");
  const fs::path out = dir.Path() / "far.tar.gz";
  const PublishRun made = Installer(launcher, out);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "wrote " + out.string() + "\n");

  std::set<std::string> expected = {"drwxr-xr-x Far Harbour/", "-rwxr-xr-x Far Harbour/Far Harbour.desktop",
                                    "-rw-r--r-- Far Harbour/updatecfg.xml", "-rw-r--r-- Far Harbour/publisher.pub"};
  for (const fs::directory_entry& installed : fs::directory_iterator(FARLAUNCH_INSTALL_DIR)) {
    if (installed.is_regular_file()) expected.insert("-rwxr-xr-x Far Harbour/" + installed.path().filename().string());
  }
  EXPECT_EQ(Listing(out), expected);

  const fs::path again = dir.Path() / "again.tar.gz";
  ASSERT_EQ(Installer(launcher, again).status, 0);
  EXPECT_TRUE(ReadFile(again) == ReadFile(out)) << "the same inputs must give the same tarball";

  const fs::path extracted = dir.Path() / "somewhere else";
  fs::create_directories(extracted);
  ASSERT_EQ(RunShell("tar -xzf " + ShellQuoted(out.string()) + " -C " + ShellQuoted(extracted.string())).status, 0);
  const fs::path folder = extracted / "Far Harbour";
  const ShellRun version = RunShell(ShellQuoted((folder / "farLaunch.exe").string()) + " --version 2>&1");
  EXPECT_EQ(version.status, 0) << version.out;
  EXPECT_NE(version.out.find("farLaunch"), std::string::npos) << version.out;

  // A desktop unescapes the entry's string ("\\" to "\"), then splits its
  // arguments as the shell does, with %k the entry's own path.
  const std::string entry = ReadFile(folder / "Far Harbour.desktop");
  EXPECT_NE(entry.find("\nName=Far Harbour\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nTerminal=false\n"), std::string::npos) << entry;
  const size_t exec = entry.find("\nExec=");
  ASSERT_NE(exec, std::string::npos) << entry;
  std::string command = entry.substr(exec + 6, entry.find('\n', exec + 1) - exec - 6);
  for (size_t at = command.find("\\\\"); at != std::string::npos; at = command.find("\\\\", at + 1)) {
    command.erase(at, 1);
  }
  command.replace(command.find("%k"), 2, ShellQuoted((folder / "Far Harbour.desktop").string()));
  RunShell("cd " + ShellQuoted(dir.Path().string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY " + command +
           " >/dev/null 2>&1");
  EXPECT_TRUE(fs::exists(folder / "farLaunch.log")) << "the launcher did not run in its folder: " << command;
}
