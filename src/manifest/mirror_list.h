#pragma once
// The mirrors a document names for its newest release's objects: folder
// addresses, each holding a copy of the site, in the order launchers try
// them, written as one attribute value separated by ";".
#include <string>
#include <vector>

std::string MirrorsValue(const std::vector<std::string>& mirrors);

// The addresses of a Mirrors value, in order, each ending in "/" (added
// when missing); empty parts are no mirror.
std::vector<std::string> MirrorsOf(const std::string& value);
