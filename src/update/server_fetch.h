#pragma once
// The server document as a start fetches it: accepted (downloaded, its
// signature and rules checked), stored, and read into the state.
#include <optional>
#include <string>

#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"
#include "update/site/signing_time_record.h"

// A server document that passed every rule a start applies to it.
struct AcceptedDocument {
  std::string plain;
  // What to record of its signature once it is stored, when it differs
  // from the record kept here.
  std::optional<SigningRecord> signing;
};

// Everything a start applies to the server document fetched from
// `address` before it stores it: the download and its limits, with a
// publisher's key the signature published beside that address and its
// rules (AcceptSignedDocument), and the flat scan finding the document's keys.
// Stores and records nothing. False, with the reason logged, when any of
// them refuses it. Worker thread.
bool AcceptServerDocument(const std::string& address, LauncherState& state, platform::Platform& platform,
                          AcceptedDocument& accepted);

// Accepts the server document of UpdateServerAddr and stores it in its
// Base64 form as "servercfg.xml". False, with the reason logged, when it is
// refused or cannot be stored.
bool FetchServerDocument(LauncherState& state, platform::Platform& platform);

// Reads the stored server document into the state. False, with the reason
// logged and the state unchanged, when it is missing or holds none of the
// document's keys.
bool LoadServerDocument(LauncherState& state);
