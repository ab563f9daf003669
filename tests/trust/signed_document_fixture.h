#pragma once
// A document signed by the real minisign with a fresh key pair that is not
// encrypted, and a second key pair that did not sign it.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "trust/minisign_cli.h"
#include "trust/public_key.h"

class SignedDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    publisher = MinisignGenerate(dir.Path(), "publisher");
    other = MinisignGenerate(dir.Path(), "other");
    documentPath = dir.Write("servercfg.xml", document);
    const TrustResult<PublicKey> parsed = ParsePublicKey(ReadFile(publisher.publicKey));
    ASSERT_TRUE(parsed.value) << parsed.error;
    key = *parsed.value;
  }

  // minisign's signature of the document, made with `options`.
  std::string Signature(const MinisignSignOptions& options = {}, const MinisignKeys* by = nullptr) {
    const std::string path = dir.File("servercfg.xml.minisig");
    EXPECT_TRUE(MinisignSign(by != nullptr ? *by : publisher, documentPath, path, options));
    return ReadFile(path);
  }

  TempDir dir;
  // Bytes of every kind: a signature covers bytes, not text.
  const std::string document = std::string("<S WebAddr=\"http://a/\">\r\n\x00\xff\xfe</S>\n", 33);
  std::string documentPath;
  MinisignKeys publisher;
  MinisignKeys other;
  PublicKey key;
};
