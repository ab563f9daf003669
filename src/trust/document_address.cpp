#include "trust/document_address.h"

#include <algorithm>

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// scheme "://" [userinfo "@"] host [":" port] rest, with the case-blind
// parts lowered and the default port written out.
std::string Canonical(std::string_view address) {
  const std::size_t schemeEnd = address.find("://");
  if (schemeEnd == std::string_view::npos) return std::string(address);
  const std::string scheme = Lower(address.substr(0, schemeEnd));
  std::string_view rest = address.substr(schemeEnd + 3);
  const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  std::string_view authority = rest.substr(0, authorityEnd);
  const std::string_view path = rest.substr(authorityEnd);
  const std::size_t at = authority.rfind('@');
  const std::string_view userinfo = at == std::string_view::npos ? std::string_view() : authority.substr(0, at + 1);
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  // A port follows the last colon that is not inside an IPv6 literal.
  const std::size_t colon = authority.rfind(':');
  const bool hasPort = colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos;
  const std::string_view host = hasPort ? authority.substr(0, colon) : authority;
  std::string port = hasPort ? std::string(authority.substr(colon + 1)) : std::string();
  if (port.empty()) port = scheme == "https" ? "443" : scheme == "http" ? "80" : "";
  return scheme + "://" + std::string(userinfo) + Lower(host) + ":" + port + std::string(path);
}

}  // namespace

bool SameDocumentAddress(std::string_view a, std::string_view b) { return Canonical(a) == Canonical(b); }
