#pragma once
// The server document's signature: published beside it (its address with
// ".minisig" appended), checked against the publisher's key on the bytes
// that arrived, and against the newest document accepted here before.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seam.h"

struct PublicKey;

// The outcome of checking a downloaded document against its signature.
struct DocumentSignature {
  bool valid = false;
  // Where the failure lies (the signature's address when it cannot be
  // fetched, the document's when it is refused) and why.
  std::string address;
  std::string reason;
  // minisign's trusted timestamp, when the valid signature carries one.
  std::optional<std::uint64_t> timestamp;
};

// Fetches the signature published beside `documentAddress` into the current
// directory and checks `document` with it. The progress of the fetch goes
// to `window`.
DocumentSignature CheckDocumentSignature(const std::string& documentAddress, std::string_view document,
                                         const PublicKey& key, platform::MessageTarget& window);

// Fetches the signature of the document downloaded from `documentAddress`
// and checks the document with it. False, with the reason logged, when the
// signature is missing, malformed or not the publisher's, or the document
// was signed before the one accepted last. `newer` is set to the document's
// signing time when it is newer than the recorded one, to be recorded once
// the document is stored.
bool AcceptSignedDocument(const std::string& documentAddress, platform::Platform& platform, const PublicKey& key,
                          std::string_view document, std::optional<std::uint64_t>& newer);
