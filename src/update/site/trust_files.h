#pragma once
// The files the launcher's trust rests on: the publisher's key and the
// record of the newest document accepted. An update that was not verified
// came from whoever answered; if it could write these, it would make its
// sender the publisher for good.
#include <string>

// What the log says for each such target that an unverified run skips.
constexpr char kUnverifiedTrustFile[] = "an unverified update may not install a publisher key";

// True when `name` (as a server writes it: either separator, "." parts,
// any letter case, the trailing dots and spaces Windows drops, a stream
// named after a colon) lands on publisher.pub or farLaunch.signedtime in
// the game directory, or makes a folder of that name there.
bool IsTrustFile(const std::string& name);
