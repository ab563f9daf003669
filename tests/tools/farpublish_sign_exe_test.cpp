// farpublish sign-exe: Authenticode signatures that osslsigncode verifies
// with the publisher's certificate, made in place, and a program left as it
// was when signing fails.
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
      GTEST_SKIP() << "osslsigncode or openssl is not installed (scripts/setup "
                      "installs them)";
    }
    MakeCertificate("publisher");
    WriteFile(program, MinimalWindowsProgram());
  }

  // A throwaway self-signed code-signing certificate and its key.
  void MakeCertificate(const std::string &name) const {
    const ShellRun made = RunShell(
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "
        "'/CN=farLaunch test " +
        name +
        "'"
        " -addext extendedKeyUsage=codeSigning -keyout " +
        ShellQuoted(Path(name + ".key")) + " -out " + ShellQuoted(Path(name + ".pem")) + " 2>&1");
    ASSERT_EQ(made.status, 0) << made.out;
  }

  std::string Path(const std::string &name) const { return (dir.Path() / name).string(); }

  ShellRun Verify(const std::string &certificate) const {
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
  for (const fs::directory_entry &entry : fs::directory_iterator(dir.Path())) {
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
