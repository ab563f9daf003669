#pragma once
// Reading what a page text asks of the launcher. The news page talks to the
// launcher only through its visible text: "ServerBackUrl" with an address
// between "{{" and "}}", "RunClient" with a ";"-separated login record
// between "[[" and "]]".
#include <string>
#include <vector>

struct PageRequest {
  enum class Kind {
    None,          // nothing to do
    BackAddress,   // send the panel to `address` (the home page when empty)
    Launch,        // start the client with `fields` (at least thirteen)
    TooFewFields,  // a launch record of an older page: tell the player
  };
  Kind kind = Kind::None;
  std::string address;
  std::vector<std::string> fields;
};

// What `pageText` (code-page bytes) asks for. While the update runs, a
// back-address request wins over a launch request in the same text.
PageRequest ReadPageRequest(const std::string& pageText, bool updateFinished);
