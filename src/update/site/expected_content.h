#pragma once
// What a file the server document names must turn out to be, from the
// Sha256 and Size on the element of its address.
#include <string>

#include "net/content_check.h"
#include "xml/xml_config.h"

// The values as the download checks them. False, with `problem` saying
// why, when the file must not be fetched: a Sha256 that is not 64 hex
// digits or a Size that is no byte count (verified or not), or, when the
// update is verified, no Sha256 or no Size at all.
bool ExpectedContentOf(const FileCheck& check, bool verified, ExpectedContent& expected, std::string& problem);
