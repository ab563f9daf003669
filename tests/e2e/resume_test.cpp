// farLaunch.exe on the console installing a full client package of about
// 200 MB over a network that fails: killed half-way and started again, or
// with the connection dropping three times in one run, it completes with
// the package's bytes sent about once. Prints "ratio R": the package body
// bytes the server sent over the whole scenario, by the package's size.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "e2e/scenario.h"
#include "support/range_http_server.h"
#include "trust/tampering.h"
#include "update/published_document.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kBlobBytes = 200ull * 1024 * 1024;
const std::string kPackagePath = "/client-full.zip";
const std::string kPackageName = "tmp_client.tmp";
const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};

// The package: one stored entry of incompressible bytes (xorshift), made
// once for the suite.
struct Package {
  TempDir folder;
  std::shared_ptr<const std::string> zip;
  std::string sha256;
  fs::path blob;
};

const Package& ThePackage() {
  static const std::unique_ptr<Package> package = [] {
    auto made = std::make_unique<Package>();
    fs::create_directories(made->folder.Path() / "data");
    made->blob = made->folder.Path() / "data/blob.bin";
    {
      std::ofstream out(made->blob, std::ios::binary);
      std::vector<std::uint64_t> block(1 << 17);
      std::uint64_t state = 0x9E3779B97F4A7C15ull;
      for (std::uint64_t written = 0; written < kBlobBytes; written += block.size() * 8) {
        for (std::uint64_t& word : block) {
          state ^= state << 13;
          state ^= state >> 7;
          state ^= state << 17;
          word = state;
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
      }
    }
    const fs::path zip = made->folder.Path() / "package.zip";
    if (RunToEnd({{"zip", "-0", "-q", "-r", zip.string(), "data"}, made->folder.Path(), {}, "/dev/null"}, kPatience) !=
        0) {
      throw std::runtime_error("zip failed");
    }
    made->zip = std::make_shared<const std::string>(ReadFile(zip));
    made->sha256 = Sha256Of(*made->zip);
    fs::remove(zip);
    return made;
  }();
  return *package;
}

class ResumeEndToEnd : public ::testing::Test {
 protected:
  ResumeEndToEnd() : game_(scratch_.Path() / "game") {
    const Package& package = ThePackage();
    server_.Put(kPackagePath, package.zip);
    ServerDocument document;
    document.versions = {ServerVersion{"1", "0", "1", "0001", {}}, ServerVersion{"1", "0", "2", "0002", {}}};
    document.site["MiniTargetFileName"] = kPackageName;
    document.site["MiniSourceFileAddr"] = server_.Url(kPackagePath);
    document.site["MiniSha256"] = package.sha256;
    document.site["MiniSize"] = std::to_string(package.zip->size());
    server_.Put("/servercfg.xml", document.Text());
    game_.WriteVersionDocument(server_.Url("/servercfg.xml"));
    game_.AddLauncher();
  }

  void LimitRate(int kibPerSecond) {
    game_.Write("rh_game.ini", "[farLaunch]\nForceUpdateVersion=1\nDownloadRateLimit=" +
                                   std::to_string(kibPerSecond) + "\n");
  }

  // The package is installed byte for byte, the version recorded, nothing
  // partial left; prints and returns the ratio of bytes sent.
  double ExpectCompleted() {
    EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0002");
    EXPECT_EQ(fs::file_size(game_.Path() / "data/blob.bin"), kBlobBytes);
    EXPECT_TRUE(ReadFile(game_.Path() / "data/blob.bin") == ReadFile(ThePackage().blob));
    for (const auto& entry : fs::directory_iterator(game_.Path())) {
      EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    const double ratio =
        static_cast<double>(server_.BodyBytesSent(kPackagePath)) / static_cast<double>(ThePackage().zip->size());
    std::cout << "package " << ThePackage().zip->size() << " bytes, sent " << server_.BodyBytesSent(kPackagePath)
              << "\nratio " << ratio << std::endl;
    return ratio;
  }

  Scratch scratch_;
  RangeHttpServer server_;
  GameDirectory game_;
};

TEST_F(ResumeEndToEnd, KilledHalfWayTheNextStartGoesOnFromThePartialPackage) {
  // 100 MiB/s: two seconds for the package, time enough to see it half-way.
  LimitRate(100 * 1024);
  const fs::path part = game_.Path() / (kPackageName + ".part");
  {
    ChildProcess first(game_.Launcher(kHeadless, scratch_.Path() / "first.txt"));
    const std::uint64_t half = ThePackage().zip->size() / 2;
    std::error_code error;
    ASSERT_TRUE(WaitUntil([&] { return fs::file_size(part, error) >= half && !error; })) << ReadFile(scratch_.Path() / "first.txt");
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(kPatience));
  }
  const std::uintmax_t kept = fs::file_size(part);
  EXPECT_LT(kept, ThePackage().zip->size());
  EXPECT_FALSE(game_.Has(kPackageName));

  EXPECT_EQ(RunToEnd(game_.Launcher(kHeadless, scratch_.Path() / "second.txt"), kPatience), 0)
      << ReadFile(scratch_.Path() / "second.txt");
  const std::vector<std::string> asked = server_.Requests(kPackagePath);
  ASSERT_EQ(asked.size(), 2u);
  // What sat in the kernel's buffers at the kill was sent but never stored:
  // the second start asks for exactly what the partial file lacks.
  EXPECT_NE(asked[1].find("Range: bytes=" + std::to_string(kept) + "-\r\n"), std::string::npos) << asked[1];
  ExpectCompleted();
}

// Killed while it unpacks: the package stays whole, and the next start
// only asks whether it is still the same file (its last byte, If-Range).
TEST_F(ResumeEndToEnd, KilledInItsUnpackTheNextStartUnpacksThePackageItHas) {
  {
    ChildProcess first(game_.Launcher(kHeadless, scratch_.Path() / "first.txt"));
    ASSERT_TRUE(WaitUntil([&] { return game_.Has("data/blob.bin"); })) << ReadFile(scratch_.Path() / "first.txt");
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(kPatience));
  }
  ASSERT_TRUE(game_.Has(kPackageName));
  const std::uint64_t size = ThePackage().zip->size();
  EXPECT_EQ(RunToEnd(game_.Launcher(kHeadless, scratch_.Path() / "second.txt"), kPatience), 0)
      << ReadFile(scratch_.Path() / "second.txt");
  const std::vector<std::string> asked = server_.Requests(kPackagePath);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[1].find("Range: bytes=" + std::to_string(size - 1) + "-\r\n"), std::string::npos) << asked[1];
  EXPECT_EQ(server_.BodyBytesSent(kPackagePath), size + 1);
  ExpectCompleted();
  EXPECT_FALSE(game_.Has(kPackageName)) << "the installed package goes";
  EXPECT_FALSE(game_.Has(kPackageName + ".part.meta"));
}

TEST_F(ResumeEndToEnd, AConnectionDroppingThreeTimesInOneRunStillCompletes) {
  for (int drop = 0; drop < 3; ++drop) {
    RangeHttpServer::Answer cut;
    cut.cutAfter = ThePackage().zip->size() / 5;
    server_.Queue(kPackagePath, cut);
  }
  EXPECT_EQ(RunToEnd(game_.Launcher(kHeadless, scratch_.Path() / "run.txt"), kPatience), 0)
      << ReadFile(scratch_.Path() / "run.txt");
  EXPECT_EQ(server_.Requests(kPackagePath).size(), 4u);
  // Each retry stands in the log with the failure before it.
  const std::string log = game_.Read("farLaunch.log");
  for (const char* retry : {"retry 1 of 3", "retry 2 of 3", "retry 3 of 3"}) {
    EXPECT_NE(log.find(retry), std::string::npos) << retry << " in\n" << log;
  }
  EXPECT_NE(log.find("connection closed"), std::string::npos) << log;
  EXPECT_LE(ExpectCompleted(), 1.05);
}

}  // namespace
}  // namespace e2e
