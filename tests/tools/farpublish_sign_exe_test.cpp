// farpublish sign-exe and installer: Authenticode signatures that
// osslsigncode verifies with the publisher's certificate, made in place, a
// program left as it was when signing fails, and the signed setup.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/minimal_windows_program.h"
#include "support/temp_dir.h"
#include "tools/farpublish_fixture.h"
#include "trust/minisign_cli.h"

namespace fs = std::filesystem;

namespace {

class FarpublishSignExe : public ::testing::Test {
 protected:
  void SetUp() override {
    if (RunShell("command -v osslsigncode && command -v openssl").status != 0) {
      GTEST_SKIP() << "osslsigncode or openssl is not installed (scripts/setup installs them)";
    }
    MakeCertificate("publisher");
    WriteFile(program, MinimalWindowsProgram());
  }

  // A throwaway self-signed code-signing certificate and its key.
  void MakeCertificate(const std::string& name) const {
    const ShellRun made =
        RunShell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=farLaunch test " + name +
                 "' -addext extendedKeyUsage=codeSigning -keyout " + ShellQuoted(Path(name + ".key")) + " -out " +
                 ShellQuoted(Path(name + ".pem")) + " 2>&1");
    ASSERT_EQ(made.status, 0) << made.out;
  }

  std::string Path(const std::string& name) const { return (dir.Path() / name).string(); }

  ShellRun Verify(const std::string& certificate) const {
    return RunShell("osslsigncode verify -CAfile " + ShellQuoted(Path(certificate)) + " -in " +
                    ShellQuoted(program.string()) + " 2>&1");
  }

  TempDir dir;
  fs::path program = dir.Path() / "farLaunch.exe";
};

}  // namespace

// The program is signed where it lies, with nothing left beside it, and
// only the publisher's certificate verifies it.
TEST_F(FarpublishSignExe, SignsInPlaceWithThePublishersCertificate) {
  ASSERT_NE(Verify("publisher.pem").status, 0) << "an unsigned program must not verify";
  const PublishRun run = Farpublish(
      {"sign-exe", program.string(), "--sign-cert", Path("publisher.pem"), "--sign-key", Path("publisher.key")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "signed " + program.string() + "\n");
  const ShellRun verified = Verify("publisher.pem");
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_NE(verified.out.find("Subject: /CN=farLaunch test publisher"), std::string::npos) << verified.out;
  MakeCertificate("stranger");
  EXPECT_NE(Verify("stranger.pem").status, 0);
  std::vector<std::string> left;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path())) {
    left.push_back(entry.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"farLaunch.exe", "publisher.key", "publisher.pem", "stranger.key",
                                            "stranger.pem"}));
}

// A key that is not the certificate's, a missing osslsigncode and a missing
// key each stop with the reason, the program untouched.
TEST_F(FarpublishSignExe, FailureSaysWhyAndLeavesTheProgram) {
  MakeCertificate("stranger");
  const std::string original = ReadFile(program);

  const PublishRun mismatched = Farpublish(
      {"sign-exe", program.string(), "--sign-cert", Path("publisher.pem"), "--sign-key", Path("stranger.key")});
  EXPECT_EQ(mismatched.status, 1);
  EXPECT_NE(mismatched.err.find("osslsigncode could not sign " + program.string()), std::string::npos)
      << mismatched.err;
  EXPECT_NE(mismatched.err.find("Failed"), std::string::npos) << "osslsigncode's own words: " << mismatched.err;

  const ShellRun withoutTool =
      RunShell("PATH=" + ShellQuoted(dir.Path().string()) + " " + ShellQuoted(FARPUBLISH_PATH) + " sign-exe " +
               ShellQuoted(program.string()) + " --sign-cert " + ShellQuoted(Path("publisher.pem")) + " --sign-key " +
               ShellQuoted(Path("publisher.key")) + " 2>&1");
  EXPECT_EQ(withoutTool.status, 1);
  EXPECT_NE(withoutTool.out.find("osslsigncode is not installed"), std::string::npos) << withoutTool.out;

  const PublishRun withoutKey = Farpublish({"sign-exe", program.string(), "--sign-cert", Path("publisher.pem")});
  EXPECT_EQ(withoutKey.status, 2);
  EXPECT_NE(withoutKey.err.find("--sign-key"), std::string::npos) << withoutKey.err;

  EXPECT_EQ(ReadFile(program), original);
  EXPECT_FALSE(fs::exists(program.string() + ".signing"));
}

// farpublish installer packs the launcher with the game's updatecfg.xml
// into a setup that is signed like the launcher inside it; without the
// document there is no setup, and a product name Windows cannot take as a
// folder is refused.
TEST_F(FarpublishSignExe, InstallerMakesASignedSetupFromTheGamesDocument) {
  if (RunShell("command -v makensis").status != 0)
    GTEST_SKIP() << "makensis is not installed (scripts/setup installs nsis)";
  const fs::path gameFiles = dir.Path() / "game-files";
  const fs::path setup = dir.Path() / "Setup.exe";
  const std::vector<std::string> installer = {"installer",        "--launcher", program.string(), "--game-files",
                                              gameFiles.string(), "--product",  "雾港 $PRODUCT",  "--out",
                                              setup.string()};
  std::vector<std::string> signedInstaller = installer;
  signedInstaller.insert(signedInstaller.end(),
                         {"--sign-cert", Path("publisher.pem"), "--sign-key", Path("publisher.key")});

  fs::create_directories(gameFiles);
  const PublishRun withoutDocument = Farpublish(signedInstaller);
  EXPECT_EQ(withoutDocument.status, 1);
  EXPECT_NE(withoutDocument.err.find("farpublish build --game-files " + gameFiles.string()), std::string::npos)
      << withoutDocument.err;
  EXPECT_FALSE(fs::exists(setup));

  WriteFile(gameFiles / "updatecfg.xml", "<UpdateConfig/>");
  const PublishRun made = Farpublish(signedInstaller);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out, "wrote " + setup.string() + " (signed)\n");
  EXPECT_EQ(ReadFile(setup).substr(0, 2), "MZ");
  const ShellRun verified = RunShell("osslsigncode verify -CAfile " + ShellQuoted(Path("publisher.pem")) + " -in " +
                                     ShellQuoted(setup.string()) + " 2>&1");
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_FALSE(fs::exists(setup.string() + ".part"));

  std::vector<std::string> badName = installer;
  badName[6] = "Games/Far";
  const PublishRun refused = Farpublish(badName);
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("--product"), std::string::npos) << refused.err;
}
