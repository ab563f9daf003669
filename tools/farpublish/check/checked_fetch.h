#pragma once
// One file a site names, fetched as a launcher holding the publisher's key
// fetches it.
#include <string>

#include "xml/xml_config.h"

// Downloads `address` to `target`, checked against `check` (a SHA-256 and
// a size, both required) while it arrives. False with the problem: an
// address launchers do not fetch, a check they would refuse, a failed or
// wrong download (nothing of it is left).
bool FetchChecked(const std::string& address, const FileCheck& check, const std::string& target,
                  std::string& problem);
