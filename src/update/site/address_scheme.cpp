#include "update/site/address_scheme.h"

#include "base/files/ox_letter_case.h"

AddressScheme SchemeOf(const std::string& address) {
  const std::string scheme = ox_base::FoldLetterCase(address.substr(0, address.find(':')));
  if (scheme == "http" || scheme == "https") return AddressScheme::Http;
  if (scheme == "ftp") return AddressScheme::Ftp;
  return AddressScheme::Other;
}

std::string UnfetchableReason(const std::string& address) {
  if (address.empty()) return "no address";
  if (address.find(':') == std::string::npos) return "the address names no scheme; only http and https are fetched";
  return "the scheme " + address.substr(0, address.find(':')) + " is not fetched; only http and https are";
}
