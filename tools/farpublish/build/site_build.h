#pragma once
// "farpublish build": a static update site made from the client builds.
#include <ostream>

#include "build/build_options.h"

// Checks every input first, writes what is new into a temporary folder
// beside SITE, and only then moves it in; SITE stays as it was when anything
// fails. Names each file written or kept on `out`, warnings and the error on
// `err`. False when the build failed.
bool BuildSite(const BuildOptions& options, std::ostream& out, std::ostream& err);
