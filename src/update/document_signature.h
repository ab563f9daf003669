#pragma once
// The server document's signature: published beside it (its address with
// ".minisig" appended), checked against the publisher's key on the bytes
// that arrived, and against the newest document accepted here before.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/seam.h"
#include "update/launcher_state.h"

struct PublicKey;

// Fetches the signature and checks the downloaded document with it. False,
// with the reason logged, when the signature is missing, malformed or not
// the publisher's, or the document was signed before the one accepted
// last. `newer` is set to the document's signing time when it is newer
// than the recorded one, to be recorded once the document is stored.
bool AcceptSignedDocument(const LauncherState& state, platform::Platform& platform, const PublicKey& key,
                          std::string_view document, std::optional<std::uint64_t>& newer);
