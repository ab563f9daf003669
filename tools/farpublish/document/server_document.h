#pragma once
// The server document as published: plain XML in the launcher's dialect and
// code page (GBK). One GameVersion element per version entry in installation
// order, holding a File element per item, then one Site element for the
// site-wide settings. Each value stands on its own item's element; an
// entry's Launcher and Manifest elements follow its items, each closed by
// its own tag (a self-closing one would swallow what follows in the
// launcher's tree).
#include <string>
#include <string_view>
#include <utility>
#include <vector>

constexpr char kServerDocumentName[] = "servercfg.xml";

// One element's attributes (name, value in the document's code page), in
// the order they are written.
using DocumentAttributes = std::vector<std::pair<std::string, std::string>>;

struct DocumentEntry {
  DocumentAttributes version;
  std::vector<DocumentAttributes> items;
  // One Launcher element per platform's launcher, after the items, each
  // closed by its own tag.
  std::vector<DocumentAttributes> launchers;
  // The release manifest's element, after the items; none when empty.
  DocumentAttributes manifest;
};

// True when the launcher's scanner reads `value` back unchanged as an
// attribute value: no quote of either kind, "=", "<" or ">", and at most 511
// bytes.
bool IsDocumentValue(std::string_view value);

// The document's text. False with the reason when a value is not a
// document value.
bool ServerDocumentText(const std::vector<DocumentEntry>& entries, const DocumentAttributes& site, std::string& text,
                        std::string& error);
