// Runs the built farcfg binary and checks what it prints and returns.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"
#include "xml/base64.h"

namespace {

struct Outcome {
  int status;
  std::string out;
};

Outcome Farcfg(const std::string& arguments) {
  const std::string command = std::string(FARCFG_PATH) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

TEST(Farcfg, EncodeAndDecodeAreInverse) {
  TempDir dir;
  const std::string bytes("\x00\xff<a k=\"v\">\n", 12);
  const Outcome encoded = Farcfg("encode " + Quoted(dir.Write("plain.bin", bytes)));
  EXPECT_EQ(encoded.status, 0);
  EXPECT_EQ(encoded.out, Base64Encode(bytes));

  const Outcome decoded = Farcfg("decode " + Quoted(dir.Write("stored.txt", encoded.out)));
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.out, bytes);

  EXPECT_EQ(Farcfg("encode " + Quoted(dir.File("missing"))).status, 1);
  EXPECT_EQ(Farcfg("decode " + Quoted(dir.File("missing"))).status, 1);
}

TEST(Farcfg, TreeShowsEveryNodeOnItsOwnLine) {
  TempDir dir;
  const std::string plain = "<?xml version=\"1.0\"?>\n<a k=\"v\\w\"><b>x\ty\x01</b><c></c></a>";
  const std::string expected =
      "load: true\n"
      "A version=1.0\n"
      "E a\n"
      "  A k=v\\\\w\n"
      "  E b\n"
      "    T x\\ty\\x01\n"
      "  E c\n"
      "    T \n";
  const Outcome raw = Farcfg("tree " + Quoted(dir.Write("plain.xml", plain)) + " --raw");
  EXPECT_EQ(raw.status, 0);
  EXPECT_EQ(raw.out, expected);
  const Outcome stored = Farcfg("tree " + Quoted(dir.Write("stored.xml", Base64Encode(plain))));
  EXPECT_EQ(stored.status, 0);
  EXPECT_EQ(stored.out, expected);

  // A failed parse still shows what was built.
  const Outcome broken = Farcfg("tree --raw " + Quoted(dir.Write("broken.xml", "<a><!-- --></a>")));
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out, "load: false\nE a\n");
  const Outcome missing = Farcfg("tree " + Quoted(dir.File("missing.xml")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "load: false\n");
}

TEST(Farcfg, ReadPrintsKeysEntriesAndItems) {
  TempDir dir;
  const std::string server =
      "<?xml version=\"1.0\"?>\n"
      "<S WebAddr=\"http://news/\" ForceUpdate=\"1\">\n"
      "<GameVersion MainVersion=\"1\" PackageCode=\"0012\" ProductName=\"rh\">\n"
      "<F Type=\"normal\" TargetFileName=\"a\\b.zip\" SourceFileAddr=\"http://u/a.zip\"></F>\n"
      "<F Type=\"package\"></F>\n"
      "</GameVersion>\n"
      "<GameVersion PackageCode=\"0013\"></GameVersion>\n"
      "</S>\n";
  const Outcome run = Farcfg("read " + Quoted(dir.Write("servercfg.xml", Base64Encode(server))));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "MainVersion=1\n"
            "PackageCode=0013\n"
            "ProductName=rh\n"
            "WebAddr=http://news/\n"
            "LoginServer=0\n"
            "ForceUpdate=1\n"
            "entry 0: MainVersion=1 SubVersion= FileVersion= PackageCode=0012 ProductName=rh UpdateVersion=\n"
            "  item 0: Type=normal TargetFileName=a\\b.zip SourceFileAddr=http://u/a.zip\n"
            "  item 1: Type=package TargetFileName= SourceFileAddr=\n"
            "entry 1: MainVersion= SubVersion= FileVersion= PackageCode=0013 ProductName=rh UpdateVersion=\n");

  EXPECT_EQ(Farcfg("read " + Quoted(dir.File("missing.xml"))).status, 1);
}

TEST(Farcfg, UsageErrorsAndHelp) {
  EXPECT_EQ(Farcfg("").status, 2);
  EXPECT_EQ(Farcfg("list x").status, 2);
  EXPECT_EQ(Farcfg("tree").status, 2);
  EXPECT_EQ(Farcfg("tree a b").status, 2);
  EXPECT_EQ(Farcfg("encode x --raw").status, 2);
  const Outcome help = Farcfg("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"encode", "decode", "tree", "read", "--raw"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
}
