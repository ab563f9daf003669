// Runs the built farcfg binary and checks what it prints and returns.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "trust/minisign_cli.h"
#include "xml/base64.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Farcfg(const std::string& arguments) {
  const TempDir errDir;
  const std::string errFile = errDir.File("stderr");
  const ShellRun run = RunShell(std::string(FARCFG_PATH) + " " + arguments + " 2>" + ShellQuoted(errFile));
  return {run.status, run.out, ReadFile(errFile)};
}

}  // namespace

TEST(Farcfg, EncodeAndDecodeAreInverse) {
  TempDir dir;
  const std::string bytes("\x00\xff<a k=\"v\">\n", 12);
  const Outcome encoded = Farcfg("encode " + ShellQuoted(dir.Write("plain.bin", bytes)));
  EXPECT_EQ(encoded.status, 0);
  EXPECT_EQ(encoded.out, Base64Encode(bytes));

  const Outcome decoded = Farcfg("decode " + ShellQuoted(dir.Write("stored.txt", encoded.out)));
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.out, bytes);

  EXPECT_EQ(Farcfg("encode " + ShellQuoted(dir.File("missing"))).status, 1);
  EXPECT_EQ(Farcfg("decode " + ShellQuoted(dir.File("missing"))).status, 1);
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
  const Outcome raw = Farcfg("tree " + ShellQuoted(dir.Write("plain.xml", plain)) + " --raw");
  EXPECT_EQ(raw.status, 0);
  EXPECT_EQ(raw.out, expected);
  const Outcome stored = Farcfg("tree " + ShellQuoted(dir.Write("stored.xml", Base64Encode(plain))));
  EXPECT_EQ(stored.status, 0);
  EXPECT_EQ(stored.out, expected);

  // A failed parse still shows what was built.
  const Outcome broken = Farcfg("tree --raw " + ShellQuoted(dir.Write("broken.xml", "<a><!-- --></a>")));
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out, "load: false\nE a\n");
  const Outcome missing = Farcfg("tree " + ShellQuoted(dir.File("missing.xml")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "load: false\n");
}

TEST(Farcfg, ReadPrintsKeysEntriesAndItems) {
  TempDir dir;
  const std::string server =
      "<?xml version=\"1.0\"?>\n"
      "<S WebAddr=\"http://news/\" ForceUpdate=\"1\">\n"
      "<GameVersion MainVersion=\"1\" PackageCode=\"0012\" ProductName=\"rh\">\n"
      "<F Type=\"normal\" TargetFileName=\"a\\b.zip\" SourceFileAddr=\"http://u/a.zip\" Sha256=\"0a1b\" Size=\"77\"></F>\n"
      "<F Type=\"package\"></F>\n"
      "</GameVersion>\n"
      "<GameVersion PackageCode=\"0013\"></GameVersion>\n"
      "<M MiniSourceFileAddr=\"http://u/f.zip\" MiniSize=\"9\"></M>\n"
      "</S>\n";
  const Outcome run = Farcfg("read " + ShellQuoted(dir.Write("servercfg.xml", Base64Encode(server))));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "MainVersion=1\n"
            "PackageCode=0013\n"
            "ProductName=rh\n"
            "WebAddr=http://news/\n"
            "LoginServer=0\n"
            "ForceUpdate=1\n"
            "MiniSourceFileAddr=http://u/f.zip\n"
            "MiniSize=9\n"
            "entry 0: MainVersion=1 SubVersion= FileVersion= PackageCode=0012 ProductName=rh UpdateVersion=\n"
            "  item 0: Type=normal TargetFileName=a\\b.zip SourceFileAddr=http://u/a.zip Sha256=0a1b Size=77\n"
            "  item 1: Type=package TargetFileName= SourceFileAddr=\n"
            "entry 1: MainVersion= SubVersion= FileVersion= PackageCode=0013 ProductName=rh UpdateVersion=\n");

  EXPECT_EQ(Farcfg("read " + ShellQuoted(dir.File("missing.xml"))).status, 1);

  // As the base64 tool writes it: wrapped, with a final line break.
  const std::string stored = Base64Encode(server);
  std::string wrapped;
  for (std::size_t at = 0; at < stored.size(); at += 76) wrapped += stored.substr(at, 76) + "\n";
  const Outcome fromTool = Farcfg("read " + ShellQuoted(dir.Write("wrapped.xml", wrapped)));
  EXPECT_EQ(fromTool.status, 0);
  EXPECT_EQ(fromTool.out, run.out);
  // Plain XML where the stored form belongs does not load: status 1.
  const Outcome plain = Farcfg("read " + ShellQuoted(dir.Write("plain.xml", server)));
  EXPECT_EQ(plain.status, 1);
  EXPECT_NE(plain.err.find("does not load"), std::string::npos) << plain.err;
  EXPECT_EQ(Farcfg("decode " + ShellQuoted(dir.File("plain.xml"))).status, 1);
  EXPECT_EQ(Farcfg("decode " + ShellQuoted(dir.File("wrapped.xml"))).out, server);
}

TEST(Farcfg, UsageErrorsAndHelp) {
  EXPECT_EQ(Farcfg("").status, 2);
  EXPECT_EQ(Farcfg("list x").status, 2);
  EXPECT_EQ(Farcfg("tree").status, 2);
  EXPECT_EQ(Farcfg("tree a b").status, 2);
  EXPECT_EQ(Farcfg("encode x --raw").status, 2);
  EXPECT_EQ(Farcfg("verify a b").status, 2);
  EXPECT_EQ(Farcfg("verify a b c d").status, 2);
  EXPECT_EQ(Farcfg("hash").status, 2);
  EXPECT_EQ(Farcfg("hash a --raw").status, 2);
  const Outcome help = Farcfg("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word : {"encode", "decode", "tree", "read", "--raw", "verify", "hash"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
}

TEST(Farcfg, VerifyChecksMinisignSignaturesAsTheLauncherDoes) {
  TempDir dir;
  const MinisignKeys publisher = MinisignGenerate(dir.Path(), "publisher");
  const MinisignKeys other = MinisignGenerate(dir.Path(), "other");
  const std::string document = dir.Write("servercfg.xml", "<S></S>\n");
  ASSERT_TRUE(MinisignSign(publisher, document, dir.File("good.minisig"), {false, "release 7", std::nullopt}));
  ASSERT_TRUE(MinisignSign(other, document, dir.File("other.minisig")));
  ASSERT_TRUE(MinisignSign(publisher, document, dir.File("legacy.minisig"), {true, std::nullopt, std::nullopt}));
  const std::string keyLine = ReadFile(publisher.publicKey).substr(ReadFile(publisher.publicKey).find('\n') + 1);
  const std::string bareKey = dir.Write("bare.pub", keyLine);

  const auto verify = [&](const std::string& signature, const std::string& key) {
    return Farcfg("verify " + ShellQuoted(document) + " " + ShellQuoted(dir.File(signature)) + " " + ShellQuoted(key));
  };
  for (const std::string& key : {publisher.publicKey, bareKey}) {
    const Outcome valid = verify("good.minisig", key);
    EXPECT_EQ(valid.status, 0) << valid.err;
    EXPECT_NE(valid.out.find("trusted comment: release 7\n"), std::string::npos) << valid.out;
    EXPECT_EQ(valid.err, "");
  }

  const Outcome otherKey = verify("other.minisig", publisher.publicKey);
  EXPECT_EQ(otherKey.status, 1);
  EXPECT_EQ(otherKey.out, "");
  EXPECT_NE(otherKey.err.find("not valid: the signature's key id is "), std::string::npos) << otherKey.err;

  // minisign's legacy Ed signs the document itself: a genuine one is
  // refused as the launcher refuses it.
  const Outcome legacy = verify("legacy.minisig", publisher.publicKey);
  EXPECT_EQ(legacy.status, 1);
  EXPECT_EQ(legacy.err,
            "farcfg: not valid: the signature uses minisign's legacy algorithm Ed (minisign -l); only prehashed ED "
            "signatures are accepted\n");

  dir.Write("servercfg.xml", "<S></S>\r\n");
  const Outcome changed = verify("good.minisig", publisher.publicKey);
  EXPECT_EQ(changed.status, 1);
  EXPECT_EQ(changed.err, "farcfg: not valid: the signature does not match the document\n");

  const Outcome badKey = verify("good.minisig", document);
  EXPECT_EQ(badKey.status, 1);
  EXPECT_NE(badKey.err.find("public key: "), std::string::npos) << badKey.err;
  const Outcome missing = verify("missing.minisig", publisher.publicKey);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
}

TEST(Farcfg, HashPrintsTheItemAttributes) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 100000; ++i) content += static_cast<char>(i * 7 % 251);
  const std::string file = dir.Write("patch 1.zip", content);
  const ShellRun sum = RunShell("sha256sum " + ShellQuoted(file));
  ASSERT_EQ(sum.status, 0);

  const Outcome hash = Farcfg("hash " + ShellQuoted(file));
  EXPECT_EQ(hash.status, 0);
  EXPECT_EQ(hash.out, "Sha256=\"" + sum.out.substr(0, 64) + "\" Size=\"100000\"\n");
  EXPECT_EQ(Farcfg("hash " + ShellQuoted(dir.Write("empty", ""))).out,
            "Sha256=\"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\" Size=\"0\"\n");
  EXPECT_EQ(Farcfg("hash " + ShellQuoted(dir.File("missing"))).status, 1);
  EXPECT_EQ(Farcfg("hash " + ShellQuoted(dir.Path().string())).status, 1);
}
