#pragma once
// Opening an address in the user's default browser, for both front ends.
#include <string>

namespace frontends::windows_services {

// `address` in UTF-8; true when the shell took it.
bool OpenInDefaultBrowser(const std::string& address);

}  // namespace frontends::windows_services
