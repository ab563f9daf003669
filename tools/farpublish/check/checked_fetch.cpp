#include "check/checked_fetch.h"

#include "net/http_downloader.h"
#include "check/no_window.h"
#include "update/site/address_scheme.h"
#include "update/site/expected_content.h"

bool FetchChecked(const std::string& address, const FileCheck& check, const std::string& target,
                  std::string& problem) {
  if (SchemeOf(address) != AddressScheme::Http) {
    problem = UnfetchableReason(address);
    return false;
  }
  DownloadOptions options;
  if (!ExpectedContentOf(check, true, options.expected, problem)) return false;
  NoWindow window;
  const DownloadResult download = HttpDownloader::DownloadFile(address, target, window, options);
  if (!download) problem = download.reason;
  return static_cast<bool>(download);
}
