#pragma once
// The server document's signature: published beside it (its address with
// ".minisig" appended), checked against the publisher's key on the bytes
// that arrived, and the rules a signed document must then meet before
// anything reads it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seam.h"
#include "update/site/signing_time_record.h"

struct PublicKey;

// How long one fetch of the server document, or of its signature, may
// take in all.
constexpr std::chrono::seconds kDocumentFetchDeadline{30};

// The outcome of checking a downloaded document against its signature.
struct DocumentSignature {
  bool valid = false;
  // Where the failure lies (the signature's address when it cannot be
  // fetched, the document's when it is refused) and why.
  std::string address;
  std::string reason;
  // The signature's trusted comment, when it is valid.
  std::string trustedComment;
};

// Fetches the signature published beside `documentAddress` into the current
// directory and checks `document` with it. The progress of the fetch goes
// to `window`.
DocumentSignature CheckDocumentSignature(const std::string& documentAddress, std::string_view document,
                                         const PublicKey& key, platform::MessageTarget& window);

// How a document is signed so that launchers take it.
constexpr char kHowToSign[] =
    "sign it with farpublish build --sign (or farpublish resign), or with minisign -t and the tab-separated "
    "fields timestamp:<seconds>, file:servercfg.xml, url:<its address>";

// What the rules below make of a document with a valid signature.
struct DocumentVerdict {
  std::string refusal;  // why it is refused; empty when it is taken
  SigningRecord record;  // what to record once it is stored
};

// The rules of AcceptSignedDocument, on the trusted comment of a valid
// signature, against `recorded` (the document accepted here last).
DocumentVerdict JudgeSignedDocument(const std::string& requestedAddress, const std::string& trustedComment,
                                    std::string_view document, const std::optional<SigningRecord>& recorded);

// Checks a document fetched from `requestedAddress` (as requested, before
// any redirect): its signature must be the publisher's, and its trusted
// comment must hold
// - a timestamp no earlier than that of the document accepted here last
//   (RecordedSigning), and at the same second only the same bytes;
// - no "expires:" before the local clock;
// - a "url:" naming `requestedAddress`; none at all is taken (and logged)
//   only until a document naming its address has been accepted here.
// False, with the rule that refused it logged in one line, otherwise.
// `accepted` is set to the record to save once the document is stored,
// when it differs from the recorded one.
bool AcceptSignedDocument(const std::string& requestedAddress, platform::MessageTarget& window, const PublicKey& key,
                          std::string_view document, std::optional<SigningRecord>& accepted);
