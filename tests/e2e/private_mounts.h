#pragma once
// Runs a program in a mount namespace of its own, so that a test can put
// the game directory on a small tmpfs or mount a file over itself without
// touching the machine's mounts. As root the namespace is made directly;
// otherwise as root of a user namespace (unshare -r).
#include <string>

#include "e2e/child_process.h"

namespace e2e {

// Why no such namespace can be made on this machine; empty when it can.
std::string PrivateMountsUnavailable();

// `plan` turned into: in a fresh mount namespace, in the plan's working
// directory, run the shell commands `prepare` (they may mount, copy and
// cd), then the plan's program, then `finish`; the program's exit status
// is the run's. The plan's environment reaches all three.
ProcessPlan WithPrivateMounts(ProcessPlan plan, const std::string& prepare, const std::string& finish);

}  // namespace e2e
