#pragma once
// A document of the launcher's XML dialect: a byte scanner driven by a few
// punctuation characters rather than a general XML parser. Malformed input
// never raises an error; it yields missing nodes or a failed parse. Files
// are stored as one line of Base64 text (the "stored form").
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "xml/xml_config.h"
#include "xml/xml_element.h"

class CXMLFile {
 public:
  // Capacities of the scanner's working buffers, terminator included.
  // Input beyond them is outside the dialect and is rejected: the parse of
  // the tree fails, and the flat scan ignores such an attribute.
  static constexpr std::size_t kElementNameCapacity = 256;     // "/" + name
  static constexpr std::size_t kAttributeNameCapacity = 256;
  static constexpr std::size_t kAttributeValueCapacity = 512;
  // The dialect's documents are two or three levels deep; deeper nesting is
  // rejected so that hostile input cannot exhaust the stack.
  static constexpr int kMaxNestingDepth = 64;

  // Replaces the tree with the parsed content of the file: Base64 text
  // unless raw, the XML text itself when raw. False when the file cannot be
  // read or is empty, when the stored form is no Base64 (blanks and line
  // breaks aside) or decodes to nothing, or when the top-level parse fails;
  // after a parse, the bytes and the tree built so far stay in place.
  // The file is read through the base file system (letter case ignored).
  bool Load(const std::string& path, bool raw);
  // Load for file contents already in memory.
  bool LoadText(const std::string& fileText, bool raw);

  // Writes the tree in the stored form, through OxFile::ReplaceContents: a
  // failed write leaves the previous file intact, the file keeps its mode,
  // a link is written through, a read-only file is left alone. Every leading
  // attribute keeps its own name; those named MainVersion, SubVersion,
  // FileVersion, PackageCode, UpdateServerAddr and ForceUpdateVersion get
  // the configuration fields' values (ForceUpdate for the last), the others
  // their loaded ones. The first four and UpdateServerAddr, when no element
  // carries them, are added to the first element, so the version is always
  // recorded. A document in the standard order (the ten attributes of
  // updatecfg.xml) is written as it always was. False when there is no tree
  // or the file cannot be written, and when nothing follows the root's
  // leading attributes (the file is then still written).
  bool Save(const std::string& path);

  // Destroys the tree and frees the document bytes. The configuration
  // fields keep their values.
  void Close();

  // Fills the configuration fields and the version entries from the
  // document bytes in one flat pass (works after a failed parse too).
  // Returns how many of the dialect's keys it found.
  std::size_t ReadConfig();

  CXMLElement* Root() { return root_.get(); }

  ConfigFields config;

 private:
  // Parses positions first..last inclusive (clipped to the document) into
  // children of parent. Non-zero on success.
  int ParseRange(CXMLElement* parent, std::ptrdiff_t first, std::ptrdiff_t last, int depth);
  // Parses the attribute around the "=" at the position. Returns the
  // position of the value's closing quote (at or past the document size
  // when the value is unterminated, then with an empty value), or nothing
  // when the name or the value exceeds its capacity.
  std::optional<std::size_t> ParseAttribute(std::size_t equalsPosition, std::string& name,
                                            std::string& value) const;
  // Appends the element and its subtree to output, `added` after its own
  // leading attributes. False only for a null element.
  bool WriteElement(std::string& output, CXMLElement* element,
                    const std::vector<std::pair<std::string, std::string>>& added);
  // False when `name` is none of the dialect's keys.
  bool StoreKey(const std::string& name, const std::string& value, VersionEntry& entry);

  std::string data_;
  std::unique_ptr<CXMLElement> root_;
};
