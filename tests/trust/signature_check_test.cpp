// Verification of documents signed by the real minisign: what passes, and the
// reason for each way a document or its signature can be wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "trust/signature_check.h"
#include "trust/signed_document_fixture.h"
#include "trust/trust_text.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (const std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& lineEnd = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

// The signature file with byte `index` of the Base64 line `line` (1: the
// signature, 3: the global signature) changed.
template <typename Change>
std::string WithByte(const std::string& signature, std::size_t line, std::size_t index, Change change) {
  std::vector<std::string> lines = Lines(signature);
  std::vector<std::uint8_t> bytes(line == 1 ? 74 : 64);
  EXPECT_TRUE(DecodeBase64Exact(lines[line], bytes.data(), bytes.size()));
  bytes[index] = change(bytes[index]);
  lines[line] = EncodeBase64(bytes.data(), bytes.size());
  return Joined(lines);
}

std::string WithChangedByte(const std::string& signature, std::size_t line, std::size_t index,
                            std::uint8_t value) {
  return WithByte(signature, line, index, [value](std::uint8_t) { return value; });
}

// A byte that surely differs from what was signed, whatever it held.
std::string WithFlippedByte(const std::string& signature, std::size_t line, std::size_t index) {
  return WithByte(signature, line, index, [](std::uint8_t byte) { return static_cast<std::uint8_t>(byte ^ 0xff); });
}

Verification VerifyInPieces(const PublicKey& key, const std::string& document, const std::string& signature,
                            std::size_t pieceSize) {
  SignatureVerifier verifier(key, signature);
  for (std::size_t at = 0; at < document.size(); at += pieceSize) verifier.Update(document.substr(at, pieceSize));
  return verifier.Finish();
}

}  // namespace

using SignatureCheckTest = SignedDocument;

TEST_F(SignatureCheckTest, PrehashedSignaturesVerifyWholeAndInPiecesLegacyOnesAreRefused) {
  const std::uint64_t before = static_cast<std::uint64_t>(std::time(nullptr));
  const std::string prehashed = Signature();
  const std::string legacy = Signature({true, std::nullopt, std::nullopt});
  const std::uint64_t after = static_cast<std::uint64_t>(std::time(nullptr));
  ASSERT_EQ(Lines(prehashed)[1].substr(0, 2), "RU");  // "ED" in Base64
  ASSERT_EQ(Lines(legacy)[1].substr(0, 2), "RW");     // "Ed"

  // A legacy signature is minisign's own and genuine, and still refused;
  // so is a genuine prehashed one relabelled legacy, which would verify
  // over its digest as the document.
  for (const std::string& refused : {legacy, WithChangedByte(prehashed, 1, 1, 'd')}) {
    const Verification result = VerifySignature(key, document, refused);
    EXPECT_EQ(result.outcome, SignatureCheck::LegacyAlgorithm);
    EXPECT_EQ(result.reason,
              "the signature uses minisign's legacy algorithm Ed (minisign -l); only prehashed ED signatures are "
              "accepted");
  }
  for (const std::string& signature : {prehashed}) {
    const Verification whole = VerifySignature(key, document, signature);
    ASSERT_TRUE(whole.Valid()) << whole.reason;
    EXPECT_EQ(whole.reason, "");
    EXPECT_EQ(whole.trustedComment, Lines(signature)[2].substr(17));
    ASSERT_TRUE(whole.timestamp);
    EXPECT_GE(*whole.timestamp, before);
    EXPECT_LE(*whole.timestamp, after);
    for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{7}, document.size()}) {
      const Verification pieces = VerifyInPieces(key, document, signature, pieceSize);
      EXPECT_TRUE(pieces.Valid()) << pieceSize << ": " << pieces.reason;
      EXPECT_EQ(pieces.timestamp, whole.timestamp);
    }
  }
  EXPECT_NE(VerifySignature(key, document, prehashed).trustedComment.find("\thashed"), std::string::npos);

  // Line ends of either kind, with or without the last one; the untrusted
  // comment is not signed and may say anything.
  std::vector<std::string> lines = Lines(prehashed);
  EXPECT_TRUE(VerifySignature(key, document, Joined(lines, "\r\n")).Valid());
  const std::string noFinalLineEnd = prehashed.substr(0, prehashed.size() - 1);
  EXPECT_TRUE(VerifySignature(key, document, noFinalLineEnd).Valid());
  lines[0] = "untrusted comment: edited by hand";
  EXPECT_TRUE(VerifySignature(key, document, Joined(lines)).Valid());
}

TEST_F(SignatureCheckTest, ChangedDocumentDoesNotMatch) {
  for (const std::string& signature : {Signature()}) {
    for (const std::size_t index : {std::size_t{0}, document.size() / 2, document.size() - 1}) {
      std::string changed = document;
      changed[index] = static_cast<char>(changed[index] ^ 0x01);
      const Verification result = VerifySignature(key, changed, signature);
      EXPECT_EQ(result.outcome, SignatureCheck::DocumentMismatch) << index;
      EXPECT_EQ(result.reason, "the signature does not match the document");
      EXPECT_EQ(result.trustedComment, "");
      EXPECT_FALSE(result.timestamp);
    }
    EXPECT_EQ(VerifySignature(key, document + " ", signature).outcome, SignatureCheck::DocumentMismatch);
    EXPECT_EQ(VerifySignature(key, "", signature).outcome, SignatureCheck::DocumentMismatch);
    EXPECT_EQ(VerifyInPieces(key, document.substr(1), signature, 5).outcome, SignatureCheck::DocumentMismatch);
  }
}

TEST_F(SignatureCheckTest, SignatureByAnotherKeyNamesBothIds) {
  const std::string signature = Signature({}, &other);
  const Verification result = VerifySignature(key, document, signature);
  EXPECT_EQ(result.outcome, SignatureCheck::KeyIdMismatch);
  // minisign names a key by the id at the end of its public key file's
  // comment, written without leading zeros; the launcher writes all 16
  // digits.
  const auto idOf = [](const MinisignKeys& keys) {
    const std::string comment = Lines(ReadFile(keys.publicKey))[0];
    const std::string id = comment.substr(comment.rfind(' ') + 1);
    return std::string(16 - std::min<std::size_t>(id.size(), 16), '0') + id;
  };
  const std::string otherId = idOf(other);
  const std::string publisherId = idOf(publisher);
  ASSERT_EQ(publisherId.size(), 16u);
  EXPECT_EQ(result.reason,
            "the signature's key id is " + otherId + " but the public key's id is " + publisherId);
  EXPECT_EQ(FormatKeyId(key.id), publisherId);

  // Another key's signature under this key's id is still not this key's.
  std::string disguised = signature;
  for (std::size_t i = 0; i < key.id.size(); ++i) disguised = WithChangedByte(disguised, 1, 2 + i, key.id[i]);
  EXPECT_EQ(VerifySignature(key, document, disguised).outcome, SignatureCheck::DocumentMismatch);
}

TEST_F(SignatureCheckTest, AlteredSignatureOrTrustedCommentIsRefused) {
  const std::string signature = Signature();
  EXPECT_EQ(VerifySignature(key, document, WithFlippedByte(signature, 1, 40)).outcome,
            SignatureCheck::DocumentMismatch);

  const Verification unknown = VerifySignature(key, document, WithChangedByte(signature, 1, 0, 0x00));
  EXPECT_EQ(unknown.outcome, SignatureCheck::UnknownAlgorithm);
  EXPECT_EQ(unknown.reason, "unknown signature algorithm 0x0044 (known: ED)");
  EXPECT_EQ(VerifySignature(key, document, WithChangedByte(signature, 1, 1, 'X')).reason,
            "unknown signature algorithm EX (known: ED)");

  std::vector<std::string> lines = Lines(signature);
  const std::string original = lines[2];
  for (const std::string& tampered :
       {original + "\tfile:other.xml", "trusted comment: timestamp:9" + original.substr(28),
        original.substr(0, original.size() - 1), std::string("trusted comment: ")}) {
    lines[2] = tampered;
    const Verification result = VerifySignature(key, document, Joined(lines));
    EXPECT_EQ(result.outcome, SignatureCheck::TrustedCommentMismatch) << tampered;
    EXPECT_EQ(result.reason, "the trusted comment's signature does not match");
    EXPECT_FALSE(result.timestamp);
  }
  EXPECT_EQ(VerifySignature(key, document, WithFlippedByte(signature, 3, 63)).outcome,
            SignatureCheck::TrustedCommentMismatch);
}

TEST_F(SignatureCheckTest, TrustedCommentWithoutTimestampVerifiesWithoutOne) {
  const Verification result = VerifySignature(key, document, Signature({false, "release 7", std::nullopt}));
  ASSERT_TRUE(result.Valid()) << result.reason;
  EXPECT_EQ(result.trustedComment, "release 7");
  EXPECT_FALSE(result.timestamp);
}

TEST_F(SignatureCheckTest, TruncatedOrGarbledFilesAreMalformed) {
  const std::string signature = Signature();
  // Every cut of the file: only the whole file, with or without its final
  // line end, is a signature file.
  for (std::size_t size = 0; size + 1 < signature.size(); ++size) {
    const Verification result = VerifySignature(key, document, signature.substr(0, size));
    EXPECT_EQ(result.outcome, SignatureCheck::MalformedSignature) << size;
    EXPECT_EQ(result.reason.rfind("malformed signature file: ", 0), 0u) << result.reason;
  }

  const std::vector<std::string> lines = Lines(signature);
  const auto malformed = [&](std::vector<std::string> changed, const std::string& why) {
    const Verification result = VerifySignature(key, document, Joined(changed));
    EXPECT_EQ(result.outcome, SignatureCheck::MalformedSignature) << why;
    EXPECT_EQ(result.reason, "malformed signature file: " + why);
  };
  std::vector<std::string> changed = lines;
  changed.push_back("");
  malformed(changed, "a signature file has 4 lines, this one 5");
  malformed({lines[1], lines[2], lines[3]}, "a signature file has 4 lines, this one 3");
  changed = lines;
  changed[0] = "comment: " + lines[0].substr(19);
  malformed(changed, "the first line does not start with \"untrusted comment: \"");
  // minisign's line buffers: 1024 and 8192 bytes with line end and terminator.
  changed[0] = "untrusted comment: " + std::string(1003, 'x');
  EXPECT_TRUE(VerifySignature(key, document, Joined(changed)).Valid());
  changed[0] += "x";
  malformed(changed, "the untrusted comment is too long");
  changed = lines;
  changed[2] = "Trusted comment: " + lines[2].substr(17);
  malformed(changed, "the third line does not start with \"trusted comment: \"");
  changed[2] = "trusted comment: " + std::string(8173, 'x');
  EXPECT_EQ(VerifySignature(key, document, Joined(changed)).outcome, SignatureCheck::TrustedCommentMismatch);
  changed[2] += "x";
  malformed(changed, "the trusted comment is too long");
  for (const std::string& badLine :
       {lines[1] + "AAAA", lines[1].substr(4), " " + lines[1], lines[1].substr(0, lines[1].size() - 1) + "B",
        lines[1].substr(0, 20) + "!" + lines[1].substr(21), std::string()}) {
    changed = lines;
    changed[1] = badLine;
    malformed(changed, "the signature line is not Base64 of 74 bytes");
  }
  changed = lines;
  changed[3] = lines[1];
  malformed(changed, "the global signature line is not Base64 of 64 bytes");
  changed = lines;
  changed[2] += std::string(1, '\0');
  malformed(changed, "the signature file holds a NUL byte");
  // A lone carriage return is not a line end.
  EXPECT_EQ(VerifySignature(key, document, Joined(lines, "\r")).outcome, SignatureCheck::MalformedSignature);
}
