#pragma once
// The server document's download, as the launcher makes it and the
// publisher's checks repeat it.
#include <string>

#include "platform/seam.h"

// Downloads the document at `address` as the launcher does (its time and
// size limits) and gives its bytes; nothing of it is left on disk. False
// with the reason when the download fails or cannot be read back.
bool DownloadServerDocument(const std::string& address, platform::MessageTarget& window, std::string& plain,
                            std::string& reason);
