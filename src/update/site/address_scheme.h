#pragma once
// Which addresses the launcher fetches: http and https only, whatever a
// document or a publisher's option names.
#include <string>

enum class AddressScheme {
  Http,   // http or https, in any letter case: fetched
  Ftp,    // announced as not available yet
  Other,  // nothing to fetch it with
};
AddressScheme SchemeOf(const std::string& address);

// Why an address of that scheme is not fetched.
std::string UnfetchableReason(const std::string& address);
