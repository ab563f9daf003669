#pragma once
// How farcfg shows a document: its tree, one node per line, and the values
// the configuration scan finds.
#include <ostream>
#include <string>

#include "xml/xml_element.h"
#include "xml/xml_file.h"

// Writes control bytes (below 0x20) and the backslash as \n, \r, \t, \\ or
// \xhh, so that every node fits on one line.
std::string EscapeBytes(const std::string& bytes);

// The nodes below the root: "E name", "A name=value" or "T text", indented
// two spaces per level below the root's children.
void PrintTree(std::ostream& out, CXMLElement& root);

// Every single key that holds a value (LoginServer always) as Key=value in
// table order, then each version entry with its file items.
void PrintConfig(std::ostream& out, const ConfigFields& fields);
