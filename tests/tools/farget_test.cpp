// Runs the built farget binary against a server that fails on the way: it
// retries and resumes as the launcher does, with its exit codes.
#include <gtest/gtest.h>

#include <string>

#include "support/range_http_server.h"
#include "support/temp_dir.h"
#include "trust/minisign_cli.h"

namespace {

struct Outcome {
  int status;
  std::string err;
};

Outcome Farget(const std::string& arguments) {
  const TempDir errDir;
  const std::string errFile = errDir.File("stderr");
  const ShellRun run =
      RunShell("no_proxy=127.0.0.1 " + std::string(FARGET_PATH) + " " + arguments + " 2>" + ShellQuoted(errFile));
  return {run.status, ReadFile(errFile)};
}

TEST(Farget, RetriesAndResumesWithTheLaunchersExitCodes) {
  const std::string body(3 * 1024 * 1024 + 5, 'x');
  RangeHttpServer server;
  server.Put("/mirror.zip", body);
  RangeHttpServer::Answer busy;
  busy.status = 503;
  busy.retryAfter = "0";
  RangeHttpServer::Answer cut;
  cut.cutAfter = 1024 * 1024 + 7;
  server.Queue("/mirror.zip", busy);
  server.Queue("/mirror.zip", cut);
  TempDir dir;

  const Outcome fetched = Farget(ShellQuoted(server.Url("/mirror.zip")) + " " + ShellQuoted(dir.File("m.zip")));
  EXPECT_EQ(fetched.status, 0) << fetched.err;
  EXPECT_EQ(ReadFile(dir.File("m.zip")), body);
  EXPECT_NE(fetched.err.find("farget: HTTP 503; retry 1 of 3 in 0 ms"), std::string::npos) << fetched.err;
  EXPECT_NE(fetched.err.find("retry 2 of 3"), std::string::npos) << fetched.err;
  EXPECT_LE(server.BodyBytesSent("/mirror.zip"), body.size());

  const Outcome missing = Farget(ShellQuoted(server.Url("/gone.zip")) + " " + ShellQuoted(dir.File("g.zip")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "farget: HTTP 404\n");
  EXPECT_EQ(server.Requests("/gone.zip").size(), 1u) << "a 404 is not retried";
  EXPECT_EQ(Farget("").status, 2);
}

}  // namespace
